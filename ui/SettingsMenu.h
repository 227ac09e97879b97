#pragma once

#include <QStringList>
#include <QWidget>

#include <memory>

class QTableWidget;
class QTableWidgetItem;

class QSettings;

namespace platform {
class Application;
class MailComposer;
} // namespace platform

namespace Ui {
class SettingsMenu;
}

// The settings menu: the quality preset, a contact e-mail and quit, as rows of a table.
class SettingsMenu : public QWidget {
    Q_OBJECT
public:
    static constexpr int rowHeight = 30;
    static constexpr const char *columnIdentifier = "LinguaColumn";

    SettingsMenu(QSettings &preferences, platform::MailComposer &mail, platform::Application &application,
                 QWidget *parent = nullptr);
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
    void setUpQualityRow();
    void stepQuality();
    void contactUs();

    QSettings &preferences;
    platform::MailComposer &mail;
    platform::Application &application;
    std::unique_ptr<Ui::SettingsMenu> ui;
    QTableWidget *rowTable = nullptr;
    QStringList rows{QStringLiteral("Quality : Medium"), QStringLiteral("Contact Us"),
                     QStringLiteral("Quit")};
    int selected = -1;
};
