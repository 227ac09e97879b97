#pragma once

#include <QAccessible>
#include <QTableWidget>

// The settings menu's table. It tells assistive technology which row has the keyboard focus
// and which is selected, numbering the cells as Qt's accessible table does: that numbering
// counts the headers even when they are hidden, and the menu hides them.
class MenuTable : public QTableWidget {
    Q_OBJECT
public:
    explicit MenuTable(QWidget *parent = nullptr);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;

private:
    void notify(QAccessible::Event kind, const QModelIndex &index);
};
