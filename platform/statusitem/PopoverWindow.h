#pragma once

#include "platform/StatusItem.h"

#include <QWidget>

class QScreen;

namespace platform {

// A frameless panel that stays on top, opened next to the status icon and kept out of the
// taskbar. It takes no pointer grab, so a click elsewhere still reaches the application it was
// meant for. It keeps the size its content asks for: a message that shows or clears grows or
// shrinks it in place.
class PopoverWindow : public QWidget, public Popover {
    Q_OBJECT
public:
    // `standalone`: an ordinary window, for desktops without a status bar.
    explicit PopoverWindow(bool standalone = false);
    bool isShown() const override { return isVisible(); }
    void setContent(QWidget *content) override;
    QWidget *content() const override { return contentWidget; }
    void showRelativeTo(const Anchor &anchor) override;
    void performClose(QObject *sender) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fitContent();
    void place();
    // The screen where the anchor is, and its area left to windows.
    QScreen *anchorScreen() const;
    QRect available() const;

    const bool standalone;
    QWidget *contentWidget = nullptr;
    Anchor anchor;
    bool fitPending = false;
};

} // namespace platform
