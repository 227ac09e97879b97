#include "settings/MenuTable.h"

#include <QAccessible>

MenuTable::MenuTable(QWidget *parent) : QTableWidget(parent) {}

void MenuTable::notify(QAccessible::Event kind, const QModelIndex &index)
{
    if (!index.isValid() || !QAccessible::isActive())
        return;
    // Row 0 and column 0 of the accessible table are the headers.
    QAccessibleEvent event(this, kind);
    event.setChild((index.row() + 1) * (columnCount() + 1) + index.column() + 1);
    QAccessible::updateAccessibility(&event);
}

void MenuTable::focusInEvent(QFocusEvent *event)
{
    // Without a current row, taking the focus makes the first row current, which announces it.
    const bool hadCurrent = currentIndex().isValid();
    QTableWidget::focusInEvent(event);
    if (hadCurrent)
        notify(QAccessible::Focus, currentIndex());
}

void MenuTable::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    // QTableView's own announcement counts only the visible headers, and would name another cell.
    if (hasFocus())
        notify(QAccessible::Focus, current);
    QAbstractItemView::currentChanged(current, previous);
}

void MenuTable::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    notify(QAccessible::SelectionAdd, selected.indexes().value(0));
    notify(QAccessible::SelectionRemove, deselected.indexes().value(0));
    QAbstractItemView::selectionChanged(selected, deselected);
}
