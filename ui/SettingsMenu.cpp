#include "ui/SettingsMenu.h"

#include "platform/Log.h"
#include "ui/SettingsActions.h"
#include "ui_SettingsMenu.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTableWidget>

namespace {
const QColor menuColour(71, 121, 202);
} // namespace

SettingsMenu::SettingsMenu(SettingsActions &actions, QWidget *parent)
    : QWidget(parent), actions(actions), ui(std::make_unique<Ui::SettingsMenu>())
{
    ui->setupUi(this);
    rowTable = ui->table;
    // The quality row follows the stored preset; opening the menu stores Medium where nothing it
    // knows is stored.
    actions.readQuality(SettingsActions::Missing::StoreMedium);
    for (QAction *row : actions.rows())
        rows << row->text();
    applyColours();
    connect(rowTable, &QTableWidget::clicked, this,
            [this](const QModelIndex &index) { activateRow(index.row()); });
    rowTable->installEventFilter(this);
    fillTable();
    connect(actions.quality(), &QAction::changed, this, &SettingsMenu::qualityChanged);
}

SettingsMenu::~SettingsMenu() = default;

void SettingsMenu::applyColours()
{
    setFixedHeight(rowHeight * static_cast<int>(rows.size()));
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, menuColour);
    setPalette(background);

    // The table itself is clear, so the menu's blue shows behind the rows.
    QPalette table = rowTable->palette();
    table.setColor(QPalette::Base, Qt::transparent);
    table.setColor(QPalette::Window, Qt::transparent);
    rowTable->setPalette(table);
    rowTable->viewport()->setAutoFillBackground(false);
    rowTable->setAutoFillBackground(false);
    rowTable->verticalHeader()->setDefaultSectionSize(rowHeight);
    rowTable->setFocusPolicy(Qt::StrongFocus);
    // The row the keyboard is on is ringed in white, 4.3:1 against the blue; the style's own
    // focus frame is drawn in the highlight's colour, which hardly shows on it.
    rowTable->setStyleSheet(QStringLiteral("QTableView { outline: 0; }"
                                           " QTableView::item { border: 2px solid transparent; }"
                                           " QTableView::item:focus { border-color: white; }"));
    // Whoever gives the menu the focus gives it to the rows, so the keyboard and screen
    // readers start on the first one.
    setFocusProxy(rowTable);
}

void SettingsMenu::qualityChanged()
{
    const QString text = actions.quality()->text();
    if (text == rows[0])
        return;
    rows[0] = text;
    fillTable();
}

int SettingsMenu::rowCount()
{
    Log::line(QStringLiteral("arrayMenu.count : %1").arg(rows.size()));
    return static_cast<int>(rows.size());
}

QTableWidgetItem *SettingsMenu::makeCell(int column, int row)
{
    Log::line("tableView(_ tableView: NSTableView");
    auto *cell = new QTableWidgetItem;
    const QTableWidgetItem *header = rowTable->horizontalHeaderItem(column);
    if (header && header->text() == QLatin1String(columnIdentifier)) {
        Log::line("configuro cella");
        cell->setForeground(Qt::white);
        cell->setText(rows.value(row));
        cell->setData(Qt::AccessibleTextRole, rows.value(row));
    }
    return cell;
}

void SettingsMenu::fillTable()
{
    const int count = rowCount();
    rowTable->setRowCount(count);
    for (int row = 0; row < count; ++row) {
        for (int column = 0; column < rowTable->columnCount(); ++column)
            rowTable->setItem(row, column, makeCell(column, row));
    }
}

bool SettingsMenu::eventFilter(QObject *watched, QEvent *event)
{
    // Enter, Return and Space choose the current row, as a click does.
    if (watched == rowTable && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) &&
            rowTable->currentRow() >= 0) {
            activateRow(rowTable->currentRow());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SettingsMenu::activateRow(int row)
{
    selected = row;
    runSelectedRow();
    // The selection is cleared behind the scenes, so the same row can be chosen again.
    selected = -1;
}

void SettingsMenu::runSelectedRow()
{
    Log::line("tableViewSelectionDidChange");
    Log::line(QStringLiteral("indirizzo selezionato : %1").arg(selectedRow()));
    const int row = selectedRow();
    if (row < 0 || row >= rows.size())
        return;
    actions.rows().at(row)->trigger();
}
