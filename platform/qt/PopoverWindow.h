#pragma once

#include "platform/StatusItem.h"

#include <QWidget>

namespace platform {

// A frameless panel that stays on top, opened next to the status icon. It takes no pointer
// grab, so a click elsewhere still reaches the application it was meant for.
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

private:
    QWidget *contentWidget = nullptr;
};

} // namespace platform
