#include "ui/LastRecordingRow.h"

#include "recording/Playback.h"
#include "recording/RecentRecordings.h"
#include "ui/RecordingActions.h"

#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

#include <algorithm>

namespace {

// As the panel's own buttons: the focus ring is 2 px of #cccccc, 9.3:1 against the panel.
const QString buttonLook = QStringLiteral("QToolButton { border: 2px solid transparent; border-radius: 5px; "
                                          "padding: 1px; background: transparent; }"
                                          " QToolButton:hover { background: rgba(255, 255, 255, 38); }"
                                          " QToolButton:pressed { background: rgba(255, 255, 255, 64); }"
                                          " QToolButton:focus { border-color: #cccccc; }");

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
    nameButton->setStyleSheet(buttonLook +
                              QStringLiteral(" QToolButton { color: white; text-align: left; }"));
    nameButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    nameButton->setToolTip(tr("Show in Folder"));
    nameButton->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    progressField->setTextFormat(Qt::PlainText);
    progressField->setAccessibleName(tr("Playback position"));
    row->addWidget(playButton);
    row->addWidget(nameButton, 1);
    row->addWidget(progressField);

    nameButton->installEventFilter(this);
    connect(playButton, &QToolButton::clicked, this, [this] { this->actions.togglePlaying(shownFile); });
    connect(nameButton, &QToolButton::clicked, this, [this] { this->actions.showInFolder(shownFile); });
    connect(&actions.recent(), &RecentRecordings::changed, this, &LastRecordingRow::refresh);
    connect(&actions.playback(), &Playback::changed, this, &LastRecordingRow::refresh);
    // Only the progress moves while a file plays: the list is not read again.
    connect(&actions.playback(), &Playback::progressed, this,
            [this] { progressField->setText(this->actions.playback().progressText()); });
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
    const QString role = plays ? tr("Stop Playing") : tr("Play");
    playButton->setIcon(
        QIcon(plays ? QStringLiteral(":/images/stop.svg") : QStringLiteral(":/images/play.svg")));
    playButton->setAccessibleName(role);
    playButton->setToolTip(role);
    //: The name of the last recording, a button that shows it in its folder (for screen readers).
    nameButton->setAccessibleName(tr("Last recording"));
    nameButton->setAccessibleDescription(QFileInfo(shownFile).fileName());
    progressField->setText(playback.progressText());
    progressField->setVisible(plays);
    showName();
}

// The name as the button's width allows, shortened in the middle: its start and its extension
// tell recordings apart.
void LastRecordingRow::showName()
{
    const QString name = QFileInfo(shownFile).fileName();
    const int room = std::max(0, nameButton->width() - 12);
    const QString shown = nameButton->fontMetrics().elidedText(name, Qt::ElideMiddle, room);
    // A tool button reads '&' as a mnemonic mark.
    nameButton->setText(QString(shown).replace(QLatin1Char('&'), QStringLiteral("&&")));
}

bool LastRecordingRow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == nameButton && event->type() == QEvent::Resize)
        showName();
    return QWidget::eventFilter(watched, event);
}
