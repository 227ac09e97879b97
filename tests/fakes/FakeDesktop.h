#pragma once

#include "fakes/FakeChoices.h"
#include "platform/MailComposer.h"
#include "platform/OutsideClickMonitor.h"
#include "platform/StatusItem.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// Fakes of the desktop behind platform/, recording what the code under test asked of them.

class FakeOutsideClickMonitor : public platform::OutsideClickMonitor {
public:
    // A click outside, as the desktop would tell it.
    void click() { report(); }
    int watches = 0;

protected:
    void watch(bool on) override { watches += on ? 1 : -1; }
};

class FakeStatusItem : public platform::StatusItem {
public:
    explicit FakeStatusItem(bool button = true) : button(button) {}
    bool hasButton() const override { return button; }
    void setImage(const QIcon &icon, const QString &name) override
    {
        image = icon;
        themeName = name;
        imageSet = true;
        ++imageChanges;
    }
    void setToolTip(const QString &text) override { toolTip = text; }
    bool asksForToolTip() const override { return asks; }
    void setNeedsAttention(bool needed) override { attention = needed; }
    void hover() { emit toolTipWanted(); }
    platform::Anchor takeAnchor() override { return {QRect(1200, 0, 24, 24), std::nullopt}; }
    void showMessage(const QString &, const QString &text) override { messages.push_back(text); }
    void click() { emit activated(this); }

    bool button;
    QIcon image;
    QString themeName;
    bool imageSet = false;
    int imageChanges = 0;
    QString toolTip;
    bool asks = false;
    bool attention = false;
    std::vector<QString> messages;
};

class FakePopover : public platform::Popover {
public:
    bool isShown() const override { return shown; }
    void setContent(QWidget *widget) override { contentWidget.reset(widget); }
    QWidget *content() const override { return contentWidget.get(); }
    void showRelativeTo(const platform::Anchor &anchor) override
    {
        shown = true;
        lastAnchor = anchor;
        ++shows;
    }
    void performClose(QObject *sender) override
    {
        shown = false;
        closeSenders.push_back(sender);
    }
    bool shown = false;
    int shows = 0;
    platform::Anchor lastAnchor;
    std::vector<QObject *> closeSenders;
    std::unique_ptr<QWidget> contentWidget;
};

class FakeMail : public platform::MailComposer {
public:
    void compose(const QUrl &message) override { sent.push_back(message); }
    std::vector<QUrl> sent;
};
