#pragma once

#include <QWidget>

#include <optional>

// The panel's level bar: the latest peak level of the input over -60 to 0 dBFS, empty when
// nothing is being recorded.
class LevelBar : public QWidget {
    Q_OBJECT
public:
    static constexpr float floorDb = -60.0f;

    explicit LevelBar(QWidget *parent = nullptr);
    void setLevel(float peakDb);
    void clear();
    // Share of the bar that is filled, 0 to 1.
    double filledShare() const { return share; }
    static double shareOf(float peakDb);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void setShare(double newShare);
    double share = 0.0;
};
