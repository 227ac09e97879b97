#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QSettings;

// The last recordings saved, newest first, kept in the preferences as their paths. What the
// preferences hold is not trusted: anything but absolute paths of files that are still there
// (no links, no folders, no FIFOs) is left out as the list is read.
class RecentRecordings : public QObject {
    Q_OBJECT
public:
    static constexpr int capacity = 5;
    static constexpr int longestPath = 4096;

    explicit RecentRecordings(QSettings &preferences, QObject *parent = nullptr);

    // The recordings still on disk, newest first; those that are gone drop out of the list.
    QStringList files();
    // The newest recording still on disk, or empty.
    QString newest();
    // `path` has just been saved: it goes to the top.
    void add(const QString &path);
    void remove(const QString &path);

signals:
    void changed();

private:
    QStringList stored() const;
    void store(const QStringList &paths);

    QSettings &preferences;
};
