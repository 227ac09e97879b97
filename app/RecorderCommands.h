#pragma once

#include "platform/SingleInstance.h"

#include <QObject>
#include <QString>

class RecordingController;

// The commands the desktop's keyboard shortcuts send to the running recorder ("record" is a
// press of Record/Pause, "stop" a press of Stop), each answered at once with the state it left
// or why it was refused.
class RecorderCommands : public QObject {
    Q_OBJECT
public:
    explicit RecorderCommands(RecordingController &controller, QObject *parent = nullptr);

    platform::SingleInstance::Answer answer(const QString &action);

private:
    platform::SingleInstance::Answer record();
    platform::SingleInstance::Answer stop();

    RecordingController &controller;
};
