#pragma once

#include <QMenu>

class RecordingActions;

// "Recent Recordings" in the status icon's menu: the last recordings, newest first, each with
// Play (Stop Playing while it plays), Show in Folder and Move to Trash. Read again each time the
// icon's menu is about to show, and as recordings are saved or played.
class RecentRecordingsMenu : public QMenu {
    Q_OBJECT
public:
    explicit RecentRecordingsMenu(RecordingActions &actions, QWidget *parent = nullptr);

    // Builds the entries again from the list as it is now.
    void refresh();

private:
    RecordingActions &savedActions;
    QStringList shown;
    QString shownPlaying;
};
