#include "ui/LastRecordingRow.h"

#include "recording/Playback.h"
#include "recording/RecentRecordings.h"
#include "ui/RecordingActions.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace {

const QString buttonLook = QStringLiteral("QToolButton { border: 1px solid transparent; border-radius: 5px; "
                                          "padding: 2px; background: transparent; }"
                                          " QToolButton:hover { background: rgba(255, 255, 255, 38); }"
                                          " QToolButton:pressed { background: rgba(255, 255, 255, 64); }"
                                          " QToolButton:focus { border-color: rgba(255, 255, 255, 70); }");

} // namespace

LastRecordingRow::LastRecordingRow(RecordingActions &actions, QWidget *parent)
    : QWidget(parent), actions(actions), playButton(new QToolButton(this)), nameButton(new QToolButton(this)),
      progressField(new QLabel(this))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    playButton->setIconSize(QSize(20, 20));
    playButton->setAutoRaise(true);
    playButton->setStyleSheet(buttonLook);
    nameButton->setAutoRaise(true);
    nameButton->setStyleSheet(buttonLook);
    nameButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    nameButton->setToolTip(QStringLiteral("Show in Folder"));
    nameButton->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    progressField->setTextFormat(Qt::PlainText);
    progressField->setAccessibleName(QStringLiteral("Playback position"));
    row->addWidget(playButton);
    row->addWidget(nameButton, 1);
    row->addWidget(progressField);

    connect(playButton, &QToolButton::clicked, this, [this] { this->actions.togglePlaying(shownFile); });
    connect(nameButton, &QToolButton::clicked, this, [this] { this->actions.showInFolder(shownFile); });
    connect(&actions.recent(), &RecentRecordings::changed, this, &LastRecordingRow::refresh);
    connect(&actions.playback(), &Playback::changed, this, &LastRecordingRow::refresh);
    refresh();
}

QString LastRecordingRow::progress() const
{
    return progressField->text();
}

void LastRecordingRow::refresh()
{
    Playback &playback = actions.playback();
    // What plays stays in the row, even when it is no longer the newest.
    const QString playing = playback.file();
    shownFile = playing.isEmpty() ? actions.recent().newest() : playing;
    setVisible(!shownFile.isEmpty());
    if (shownFile.isEmpty())
        return;
    const bool plays = !playing.isEmpty();
    const QString role = plays ? QStringLiteral("Stop Playing") : QStringLiteral("Play");
    playButton->setIcon(
        QIcon(plays ? QStringLiteral(":/images/stop.svg") : QStringLiteral(":/images/play.svg")));
    playButton->setAccessibleName(role);
    playButton->setToolTip(role);
    const QString name = QFileInfo(shownFile).fileName();
    // A tool button reads '&' as a mnemonic mark.
    nameButton->setText(QString(name).replace(QLatin1Char('&'), QStringLiteral("&&")));
    nameButton->setAccessibleName(QStringLiteral("Last recording"));
    nameButton->setAccessibleDescription(name);
    progressField->setText(playback.progressText());
    progressField->setVisible(plays);
}
