#pragma once

#include "fakes/FakeChoices.h"
#include "platform/GlobalEventMonitor.h"
#include "platform/MailComposer.h"
#include "platform/StatusItem.h"

#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

// Fakes of the desktop behind platform/, recording what the code under test asked of them.

class FakeGlobalEventMonitor : public platform::GlobalEventMonitor {
public:
    Token addMonitor(std::uint64_t mask, Callback callback) override
    {
        installed.emplace(next, std::make_pair(mask, std::move(callback)));
        ++adds;
        return next++;
    }
    void removeMonitor(Token token) override
    {
        installed.erase(token);
        ++removes;
    }
    // Delivers an event to every installed monitor, as the desktop would.
    void click(platform::GlobalEvent *event)
    {
        const auto current = installed;
        for (const auto &[token, monitor] : current)
            monitor.second(event);
    }
    std::map<Token, std::pair<std::uint64_t, Callback>> installed;
    int adds = 0;
    int removes = 0;
    Token next = 1;
};

class FakeStatusItem : public platform::StatusItem {
public:
    explicit FakeStatusItem(bool button = true) : button(button) {}
    bool hasButton() const override { return button; }
    void setImage(const QIcon &icon) override
    {
        image = icon;
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
