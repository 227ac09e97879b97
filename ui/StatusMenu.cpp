#include "ui/StatusMenu.h"

#include "platform/Log.h"
#include "recording/QualityPreset.h"
#include "recording/RecordingController.h"
#include "ui/SettingsMenu.h"

#include <memory>

using State = RecordingController::State;

StatusMenu::StatusMenu(RecordingController &controller, QSettings &preferences,
                       SettingsMenuFactory makeSettingsMenu, Actions actions, QObject *parent)
    : QObject(parent), controller(controller), preferences(preferences),
      makeSettingsMenu(std::move(makeSettingsMenu))
{
    state = entries.addAction(QString());
    state->setEnabled(false);
    record = entries.addAction(QString(), this, std::move(actions.record));
    stop = entries.addAction(QStringLiteral("Stop"), this, std::move(actions.stop));
    // The app's own menu entry that brings its window back.
    entries.addAction(QStringLiteral("Open Recorder"), this, [open = std::move(actions.openPanel)] {
        Log::line("RiapriApp");
        open();
    });
    entries.addSeparator();
    quality = entries.addAction(QString(), this, [this] { runSettingsRow(0); });
    entries.addAction(QStringLiteral("Contact Us"), this, [this] { runSettingsRow(1); });
    entries.addAction(QStringLiteral("Quit"), this, [this] { runSettingsRow(2); });

    connect(&controller, &RecordingController::stateChanged, this, &StatusMenu::refresh);
    // The save dialog and the stored preset change without a signal: read again at each showing.
    connect(&entries, &QMenu::aboutToShow, this, &StatusMenu::refresh);
    refresh();
}

void StatusMenu::refresh()
{
    switch (controller.state()) {
    case State::Ready:
        record->setText(QStringLiteral("Record"));
        break;
    case State::Recording:
        record->setText(QStringLiteral("Pause"));
        break;
    case State::Paused:
        record->setText(QStringLiteral("Resume"));
        break;
    }
    // While the save dialog is up the panel's buttons cannot be pressed either.
    const bool choosing = controller.choosingWhereToSave();
    record->setEnabled(!choosing);
    stop->setEnabled(!choosing && controller.state() != State::Ready);
    quality->setText(QualityPresets::rowText(QualityPresets::read(preferences)));
}

void StatusMenu::runSettingsRow(int row)
{
    const std::unique_ptr<SettingsMenu> settings(makeSettingsMenu());
    settings->activateRow(row);
    refresh();
}
