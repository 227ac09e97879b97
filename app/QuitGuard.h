#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class RecordingController;

// Holds the application's quit while a recording runs or a file is still being saved, as it
// would be lost: the recording is stopped, the application goes on answering and shows what is
// left (`showProgress`), and it quits once every file is complete. A second quit meanwhile quits
// at once, giving up what was not written: abandonedSeconds() says how much. Installed as an
// event filter on the application, it sees every quit: the menu's, a signal's, the session's.
class QuitGuard : public QObject {
    Q_OBJECT
public:
    QuitGuard(RecordingController &controller, std::function<void()> showProgress, QObject *parent = nullptr);

    bool eventFilter(QObject *watched, QEvent *event) override;

    // Seconds of audio given up by a second quit, or nothing.
    std::optional<double> abandonedSeconds() const { return abandoned; }
    // Why files saved while the quit waited could not be completed.
    const QStringList &failures() const { return failed; }

private:
    void allSaved();

    RecordingController &controller;
    std::function<void()> showProgress;
    bool waiting = false;
    std::optional<double> abandoned;
    QStringList failed;
};
