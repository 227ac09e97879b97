#pragma once

#include <QStringList>
#include <QWidget>

#include <memory>

class QTableWidget;
class QTableWidgetItem;
class SettingsActions;

namespace Ui {
class SettingsMenu;
}

// The settings menu: the quality preset, a contact e-mail and quit (SettingsActions), as rows of
// a table.
class SettingsMenu : public QWidget {
    Q_OBJECT
public:
    static constexpr int rowHeight = 30;
    static constexpr const char *columnIdentifier = "LinguaColumn";

    explicit SettingsMenu(SettingsActions &actions, QWidget *parent = nullptr);
    ~SettingsMenu() override;

    // A new cell for `row` of the column at `column`; only the column "LinguaColumn" is filled.
    QTableWidgetItem *makeCell(int column, int row);
    // Runs the action of the selected row, if any.
    void runSelectedRow();
    // A click or Enter on a row: selects it and runs its action, every time.
    void activateRow(int row);
    int selectedRow() const { return selected; }

    QTableWidget *table() const { return rowTable; }
    // The rows' texts, as shown.
    const QStringList &rowTexts() const { return rows; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyColours();
    int rowCount();
    // Fills the table again from `rows`.
    void fillTable();
    // The quality row's action changed its text (a step, here or in the status icon's menu).
    void qualityChanged();

    SettingsActions &actions;
    std::unique_ptr<Ui::SettingsMenu> ui;
    QTableWidget *rowTable = nullptr;
    QStringList rows;
    int selected = -1;
};
