#include "ui/NotificationCenter.h"

#include <QMetaObject>

#include <algorithm>

NotificationCenter &NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

void NotificationCenter::addObserver(const QString &name, QObject *receiver, std::function<void()> handler)
{
    {
        std::lock_guard guard(lock);
        observers.push_back({name, receiver, std::move(handler)});
    }
    QObject::connect(receiver, &QObject::destroyed, [this, receiver] { removeReceiver(receiver); });
}

void NotificationCenter::removeReceiver(QObject *receiver)
{
    std::lock_guard guard(lock);
    std::erase_if(observers,
                  [receiver](const Observer &o) { return o.receiver.data() == receiver || !o.receiver; });
}

void NotificationCenter::post(const QString &name)
{
    std::vector<Observer> matching;
    {
        std::lock_guard guard(lock);
        std::copy_if(observers.begin(), observers.end(), std::back_inserter(matching),
                     [&name](const Observer &o) { return o.name == name && o.receiver; });
    }
    // Direct on the observer's own thread, queued to it from any other thread.
    for (const Observer &o : matching)
        QMetaObject::invokeMethod(o.receiver.data(), o.handler, Qt::AutoConnection);
}
