#include "ui/StatusMenu.h"

#include "platform/Log.h"
#include "recording/RecordingController.h"
#include "ui/RecentRecordingsMenu.h"
#include "ui/SettingsActions.h"

using State = RecordingController::State;

StatusMenu::StatusMenu(RecordingController &controller, SettingsActions &settings, Actions actions,
                       QObject *parent)
    : QObject(parent), controller(controller), settings(settings)
{
    state = entries.addAction(QString());
    state->setEnabled(false);
    record = entries.addAction(QString(), this, std::move(actions.record));
    //: Ends the recording and saves it.
    stop = entries.addAction(tr("Stop"), this, std::move(actions.stop));
    // The app's own menu entry that brings its window back.
    entries.addAction(tr("Open Recorder"), this, [open = std::move(actions.openPanel)] {
        Log::line("RiapriApp");
        open();
    });
    RecentRecordingsMenu *recent = actions.recentRecordings;
    if (recent)
        entries.addMenu(recent);
    entries.addSeparator();
    entries.addActions(settings.rows());
    if (actions.startAtLogin) {
        entries.insertSeparator(settings.quit());
        entries.insertAction(settings.quit(), actions.startAtLogin);
    }

    connect(&controller, &RecordingController::stateChanged, this, &StatusMenu::refresh);
    // The save dialog and the stored preset change without a signal: read again at each showing,
    // which, as the settings menu's opening does, stores Medium where nothing it knows is stored.
    connect(&entries, &QMenu::aboutToShow, this, [this, &settings, recent] {
        refresh();
        // Recordings deleted since are left out.
        if (recent)
            recent->refresh();
        settings.readQuality(SettingsActions::Missing::StoreMedium);
    });
    refresh();
}

void StatusMenu::refresh()
{
    switch (controller.state()) {
    case State::Ready:
        //: Starts a recording (the first time, asks where to save it).
        record->setText(tr("Record"));
        break;
    case State::Recording:
        //: Pauses the running recording.
        record->setText(tr("Pause"));
        break;
    case State::Paused:
        //: Goes on with the paused recording.
        record->setText(tr("Resume"));
        break;
    }
    // While the save dialog is up the panel's buttons cannot be pressed either.
    const bool choosing = controller.choosingWhereToSave();
    record->setEnabled(!choosing);
    stop->setEnabled(!choosing && controller.state() != State::Ready);
    settings.readQuality();
}
