#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <mutex>
#include <vector>

// The process's default notification centre: any code in the process may post a named
// notification; each observer's handler runs on the observer's own thread.
class NotificationCenter {
public:
    static NotificationCenter &defaultCenter();

    // The observation ends when `receiver` is destroyed.
    void addObserver(const QString &name, QObject *receiver, std::function<void()> handler);
    void post(const QString &name);

private:
    struct Observer {
        QString name;
        QPointer<QObject> receiver;
        std::function<void()> handler;
    };
    void removeReceiver(QObject *receiver);

    std::mutex lock;
    std::vector<Observer> observers;
};
