#pragma once

#include <QObject>

class RecordingController;

// Every request to end the application (the menu's Quit, a termination signal, the end of the
// session, the last window closed) goes to the recording controller, which answers with
// readyToQuit() once the files allow it. Installed as an event filter on the application.
class QuitRequests : public QObject {
    Q_OBJECT
public:
    explicit QuitRequests(RecordingController &controller, QObject *parent = nullptr);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    RecordingController &controller;
};
