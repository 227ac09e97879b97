#pragma once

#include <QPointer>
#include <QWidget>

// The panel's own popover for the settings menu: opens under the settings button and closes
// by itself on any click outside it.
class SettingsPopover : public QWidget {
    Q_OBJECT
public:
    SettingsPopover();
    // Replaces the content (the previous one is released) and shows it anchored to `anchor`.
    void showMenu(QWidget *menu, QWidget *anchor);
    QWidget *content() const { return contentWidget; }
    bool isShown() const { return isVisible(); }

protected:
    void hideEvent(QHideEvent *event) override;

private:
    QPointer<QWidget> contentWidget;
    QPointer<QWidget> opener; // the button the menu opened from
};
