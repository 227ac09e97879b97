#include "ui/Menu.h"

#include "platform/Application.h"
#include "platform/Log.h"
#include "platform/MailComposer.h"
#include "platform/PreferenceStore.h"
#include "recording/QualityPreset.h"
#include "recording/SupportContact.h"
#include "ui_Menu.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTableWidget>

namespace {
const QColor menuColour(71, 121, 202);
const QString qualityKey = QString::fromLatin1(QualityPresets::preferenceKey);

// The standard text form of a list of strings: ["a", "b"].
QString listText(const QStringList &entries)
{
    QStringList quoted;
    for (const QString &entry : entries)
        quoted << QLatin1Char('"') + entry + QLatin1Char('"');
    return QLatin1Char('[') + quoted.join(QStringLiteral(", ")) + QLatin1Char(']');
}
} // namespace

Menu::Menu(platform::PreferenceStore &preferences, platform::MailComposer &mail,
           platform::Application &application, QWidget *parent)
    : QWidget(parent), preferences(preferences), mail(mail), application(application),
      ui(std::make_unique<Ui::Menu>())
{
    ui->setupUi(this);
    tabella = ui->tabella;
    viewDidLoad();
    connect(tabella, &QTableWidget::clicked, this,
            [this](const QModelIndex &index) { activateRow(index.row()); });
    tabella->installEventFilter(this);
    reloadData();
}

Menu::~Menu() = default;

void Menu::viewDidLoad()
{
    setFixedHeight(rowHeight * static_cast<int>(arrayMenu.size()));
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, menuColour);
    setPalette(background);

    // The table itself is clear, so the menu's blue shows behind the rows.
    QPalette table = tabella->palette();
    table.setColor(QPalette::Base, Qt::transparent);
    table.setColor(QPalette::Window, Qt::transparent);
    tabella->setPalette(table);
    tabella->viewport()->setAutoFillBackground(false);
    tabella->setAutoFillBackground(false);
    tabella->verticalHeader()->setDefaultSectionSize(rowHeight);
    tabella->setFocusPolicy(Qt::StrongFocus);
    // Whoever gives the menu the focus gives it to the rows, so the keyboard and screen
    // readers start on the first one.
    setFocusProxy(tabella);

    setUpQualityRow();
}

void Menu::setUpQualityRow()
{
    const std::optional<int> code = QualityPresets::storedCode(preferences.value(qualityKey));
    if (!code) {
        // Nothing stored, or something the menu never writes: start from Medium and keep it.
        arrayMenu[0] = QualityPresets::rowText(QualityPreset::Medium);
        preferences.setValue(qualityKey, static_cast<int>(QualityPreset::Medium));
        return;
    }
    arrayMenu[0] = QualityPresets::rowText(QualityPresets::fromStored(QVariant(*code)));
}

int Menu::numberOfRows()
{
    Log::line(QStringLiteral("arrayMenu.count : %1").arg(arrayMenu.size()));
    return static_cast<int>(arrayMenu.size());
}

QTableWidgetItem *Menu::tableView(int column, int row)
{
    Log::line("tableView(_ tableView: NSTableView");
    auto *cell = new QTableWidgetItem;
    const QTableWidgetItem *header = tabella->horizontalHeaderItem(column);
    if (header && header->text() == QLatin1String(columnIdentifier)) {
        Log::line("configuro cella");
        cell->setForeground(Qt::white);
        cell->setText(arrayMenu.value(row));
        cell->setData(Qt::AccessibleTextRole, arrayMenu.value(row));
    }
    return cell;
}

void Menu::reloadData()
{
    const int rows = numberOfRows();
    tabella->setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < tabella->columnCount(); ++column)
            tabella->setItem(row, column, tableView(column, row));
    }
}

bool Menu::eventFilter(QObject *watched, QEvent *event)
{
    // Enter, Return and Space choose the current row, as a click does.
    if (watched == tabella && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) &&
            tabella->currentRow() >= 0) {
            activateRow(tabella->currentRow());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Menu::activateRow(int row)
{
    selected = row;
    tableViewSelectionDidChange();
    // The selection is cleared behind the scenes, so the same row can be chosen again.
    selected = -1;
}

void Menu::tableViewSelectionDidChange()
{
    Log::line("tableViewSelectionDidChange");
    Log::line(QStringLiteral("indirizzo selezionato : %1").arg(selectedRow()));
    const int row = selectedRow();
    if (row < 0 || row >= arrayMenu.size())
        return;
    switch (row) {
    case 0:
        stepQuality();
        break;
    case 1:
        contactUs();
        break;
    case 2:
        application.terminate();
        break;
    }
}

void Menu::stepQuality()
{
    const std::optional<int> code = QualityPresets::storedCode(preferences.value(qualityKey));
    QualityPreset next = QualityPreset::Medium;
    if (code && *code == 1)
        next = QualityPreset::High;
    else if (code && *code != 0)
        next = QualityPreset::Low;
    arrayMenu[0] = QualityPresets::rowText(next);
    preferences.setValue(qualityKey, static_cast<int>(next));
    reloadData();
    Log::line(QStringLiteral("arrayMenu : ") + listText(arrayMenu));
}

void Menu::contactUs()
{
    Log::line("contact us");
    if (!mail.canCompose())
        return;
    mail.compose(SupportContact::message());
}
