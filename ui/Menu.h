#pragma once

#include <QStringList>
#include <QWidget>

#include <memory>

class QTableWidget;
class QTableWidgetItem;

namespace platform {
class Application;
class MailComposer;
class PreferenceStore;
} // namespace platform

namespace Ui {
class Menu;
}

// The settings menu: the quality preset, a contact e-mail and quit, as rows of a table.
class Menu : public QWidget {
    Q_OBJECT
public:
    static constexpr int rowHeight = 30;
    static constexpr const char *columnIdentifier = "LinguaColumn";

    Menu(platform::PreferenceStore &preferences, platform::MailComposer &mail,
         platform::Application &application, QWidget *parent = nullptr);
    ~Menu() override;

    int numberOfRows();
    // The cell for `row` of the column at `column`; only the column "LinguaColumn" is filled.
    QTableWidgetItem *tableView(int column, int row);
    // Fills the table again from arrayMenu.
    void reloadData();
    // Runs the action of the selected row.
    void tableViewSelectionDidChange();
    // A click or Enter on a row: selects it and runs its action, every time.
    void activateRow(int row);
    int selectedRow() const { return selected; }

    QTableWidget *tabella = nullptr;
    QStringList arrayMenu{QStringLiteral("Quality : Medium"), QStringLiteral("Contact Us"),
                          QStringLiteral("Quit")};

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void viewDidLoad();
    void setUpQualityRow();
    void stepQuality();
    void contactUs();

    platform::PreferenceStore &preferences;
    platform::MailComposer &mail;
    platform::Application &application;
    std::unique_ptr<Ui::Menu> ui;
    int selected = -1;
};
