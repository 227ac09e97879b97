#pragma once

#include <QWidget>

class QLabel;
class QToolButton;
class RecordingActions;

// The panel's last recording: a Play (Stop Playing) button, the file's name, which shows it in
// its folder when clicked, and how far the playback has got. Hidden while there is none.
class LastRecordingRow : public QWidget {
    Q_OBJECT
public:
    explicit LastRecordingRow(RecordingActions &actions, QWidget *parent = nullptr);

    QString file() const { return shownFile; }
    QString progress() const;

    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showName();

    RecordingActions &actions;
    QToolButton *playButton = nullptr;
    QToolButton *nameButton = nullptr;
    QLabel *progressField = nullptr;
    QString shownFile;
};
