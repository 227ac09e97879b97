#include "ui/RecentRecordingsMenu.h"

#include "recording/Playback.h"
#include "recording/RecentRecordings.h"
#include "ui/RecordingActions.h"

#include <QFileInfo>

namespace {

// A menu shows '&' as a mnemonic mark: a file name shows as it is.
QString asLabel(const QString &text)
{
    QString label = text;
    return label.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

RecentRecordingsMenu::RecentRecordingsMenu(RecordingActions &actions, QWidget *parent)
    : QMenu(tr("Recent Recordings"), parent), savedActions(actions)
{
    connect(&savedActions.recent(), &RecentRecordings::changed, this, &RecentRecordingsMenu::refresh);
    connect(&savedActions.playback(), &Playback::changed, this, &RecentRecordingsMenu::refresh);
    refresh();
}

void RecentRecordingsMenu::refresh()
{
    const QStringList files = savedActions.recent().files();
    const QString playing = savedActions.playback().file();
    // A status bar reads the whole menu again when an entry changes: only a change does that.
    if (files == shown && playing == shownPlaying && !QMenu::actions().isEmpty())
        return;
    shown = files;
    shownPlaying = playing;
    for (QAction *entry : QMenu::actions()) {
        if (QMenu *submenu = entry->menu())
            submenu->deleteLater();
    }
    clear();
    menuAction()->setEnabled(!files.isEmpty());
    if (files.isEmpty()) {
        addAction(tr("No Recordings"))->setEnabled(false);
        return;
    }
    for (const QString &path : files) {
        auto *file = new QMenu(asLabel(QFileInfo(path).fileName()), this);
        file->addAction(path == playing ? tr("Stop Playing") : tr("Play"), this,
                        [this, path] { savedActions.togglePlaying(path); });
        file->addAction(tr("Show in Folder"), this, [this, path] { savedActions.showInFolder(path); });
        file->addAction(tr("Move to Trash"), this, [this, path] { savedActions.moveToTrash(path); });
        addMenu(file);
    }
}
