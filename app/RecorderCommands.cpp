#include "app/RecorderCommands.h"

#include "platform/Log.h"
#include "recording/RecordingController.h"

using Answer = platform::SingleInstance::Answer;

namespace {
Answer done(const QString &text)
{
    return {Answer::Outcome::Done, text};
}

Answer refused(const QString &why)
{
    return {Answer::Outcome::Refused, why};
}

QString stateName(RecordingController::State state)
{
    switch (state) {
    case RecordingController::State::Recording:
        return QStringLiteral("recording");
    case RecordingController::State::Paused:
        return QStringLiteral("paused");
    case RecordingController::State::Ready:
        break;
    }
    return QStringLiteral("stopped");
}
} // namespace

RecorderCommands::RecorderCommands(RecordingController &controller, QObject *parent)
    : QObject(parent), controller(controller)
{
}

Answer RecorderCommands::answer(const QString &action)
{
    if (action == QLatin1String("record"))
        return record();
    if (action == QLatin1String("stop"))
        return stop();
    // Any client of the session bus can send one: a short, escaped part of it is echoed.
    constexpr qsizetype echoed = 32;
    const QString shown =
        Log::escaped(action.left(echoed)) + (action.size() > echoed ? QStringLiteral("\u2026") : QString());
    return refused(QStringLiteral("unknown command \"%1\"").arg(shown));
}

Answer RecorderCommands::record()
{
    if (controller.choosingWhereToSave())
        return refused(QStringLiteral("the save dialog is already open: choose where to save, or cancel it"));
    // The first press opens the save dialog, which waits for the user: the answer does not.
    controller.clickRecord();
    if (controller.choosingWhereToSave())
        return done(QStringLiteral("choosing where to save"));
    return done(stateName(controller.state()));
}

Answer RecorderCommands::stop()
{
    if (controller.state() == RecordingController::State::Ready) {
        return refused(controller.choosingWhereToSave()
                           ? QStringLiteral("nothing is recording yet: the save dialog is open")
                           : QStringLiteral("nothing is recording"));
    }
    // The file is completed in the background: a failure to do so is shown by the panel.
    controller.stop();
    return done(stateName(controller.state()));
}
