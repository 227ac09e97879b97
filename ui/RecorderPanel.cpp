#include "ui/RecorderPanel.h"

#include "platform/Log.h"
#include "ui/LevelBar.h"
#include "ui/SavingMessage.h"
#include "ui/SettingsPopover.h"
#include "ui_RecorderPanel.h"

#include <QKeyEvent>
#include <QToolButton>

namespace {
const QColor panelColour(39, 39, 39);
const QColor levelBarColour(71, 121, 202);

QIcon image(const QString &name)
{
    return QIcon(QStringLiteral(":/images/%1.svg").arg(name));
}
} // namespace

RecorderPanel::RecorderPanel(RecordingController &recording, SettingsMenuFactory makeSettingsMenu,
                             QWidget *parent)
    : QWidget(parent), popover(std::make_unique<SettingsPopover>()),
      makeSettingsMenu(std::move(makeSettingsMenu)), ui(std::make_unique<Ui::RecorderPanel>()),
      recording(recording)
{
    ui->setupUi(this);
    recordButton = ui->recordButton;
    stopButton = ui->stopButton;
    timeField = ui->timeField;
    levelBar = ui->levelBar;
    setRecordImage(recording.recordImage());
    stopButton->setIcon(image(QStringLiteral("stop")));
    ui->settingsButton->setIcon(image(QStringLiteral("settings")));
    showTime(recording.timeText());
    applyColours();

    connect(recordButton, &QToolButton::clicked, &recording, &RecordingController::clickRecord);
    connect(stopButton, &QToolButton::clicked, &recording, &RecordingController::stop);
    connect(ui->settingsButton, &QToolButton::clicked, this, [this] { showSettings(ui->settingsButton); });

    connect(&recording, &RecordingController::recordImageChanged, this, &RecorderPanel::setRecordImage);
    connect(&recording, &RecordingController::timeTextChanged, this, &RecorderPanel::showTime);
    connect(&recording, &RecordingController::levelChanged, levelBar, &LevelBar::setLevel);
    connect(&recording, &RecordingController::levelCleared, levelBar, &LevelBar::clear);
    connect(&recording, &RecordingController::messageChanged, this, &RecorderPanel::showMessage);
    const auto showSaving = [this, &recording] {
        this->showSaving(savingMessage(recording.saving(), recording.quitWaits()));
    };
    connect(&recording.saving(), &SavingRecordings::changed, this, showSaving);
    connect(&recording, &RecordingController::quitWaitStarted, this, showSaving);
}

RecorderPanel::~RecorderPanel() = default;

void RecorderPanel::applyColours()
{
    setAutoFillBackground(true);
    QPalette panel = palette();
    panel.setColor(QPalette::Window, panelColour);
    panel.setColor(QPalette::WindowText, Qt::white);
    panel.setColor(QPalette::ButtonText, Qt::white);
    setPalette(panel);

    levelBar->setAutoFillBackground(true);
    QPalette bar = levelBar->palette();
    bar.setColor(QPalette::Window, levelBarColour);
    levelBar->setPalette(bar);
}

QString RecorderPanel::recordImage() const
{
    return recordButton->property("imageName").toString();
}

QString RecorderPanel::message() const
{
    return ui->messageField->isHidden() ? QString() : ui->messageField->text();
}

void RecorderPanel::setRecordImage(const QString &name)
{
    recordButton->setIcon(image(name));
    recordButton->setProperty("imageName", name);
    //: The round button's name and tooltip: it pauses the recording, or starts or resumes one.
    const QString role = name == QLatin1String("pause") ? tr("Pause") : tr("Record");
    recordButton->setAccessibleName(role);
    recordButton->setToolTip(role);
}

void RecorderPanel::showTime(const QString &text)
{
    // Closed, the panel neither draws the time nor tells it to screen readers every second: it
    // shows the time again as it opens.
    if (concealed || text == timeField->text())
        return;
    timeField->setText(text);
    // Qt's accessibility gives a label's text to screen readers only through its description
    // once the label has an accessible name.
    timeField->setAccessibleDescription(text);
}

void RecorderPanel::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    concealed = false;
    showTime(recording.timeText());
}

void RecorderPanel::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    concealed = true;
}

void RecorderPanel::keyPressEvent(QKeyEvent *event)
{
    // The panel's buttons take Space themselves, and leave Return, Enter and Escape to it: a
    // tool button has no Return of its own, and a push button only where it is a dialog's default.
    switch (event->key()) {
    case Qt::Key_Escape:
        emit closeRequested();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto *button = qobject_cast<QAbstractButton *>(focusWidget());
            button && isAncestorOf(button) && button->isEnabled()) {
            button->click();
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void RecorderPanel::showMessage(const QString &text)
{
    shownMessage = text;
    fillMessageField();
    if (!text.isEmpty())
        emit userMessage(text);
}

// What is being saved is shown under the message, and not sent as a notification: it changes as
// the disk catches up, and the status icon's tooltip says it too.
void RecorderPanel::showSaving(const QString &text)
{
    shownSaving = text;
    fillMessageField();
}

void RecorderPanel::fillMessageField()
{
    QStringList lines;
    for (const QString &line : {shownMessage, shownSaving}) {
        if (!line.isEmpty())
            lines << line;
    }
    const QString text = lines.join(QLatin1Char('\n'));
    // An emptied line is only hidden: a screen reader that still sees it showing for a moment
    // reads its last text, not nothing.
    if (text.isEmpty()) {
        ui->messageField->hide();
        return;
    }
    ui->messageField->setText(text);
    ui->messageField->setAccessibleDescription(text);
    ui->messageField->show();
}

void RecorderPanel::addLastRecordingRow(QWidget *row)
{
    ui->panelLayout->insertWidget(ui->panelLayout->indexOf(ui->messageField), row);
}

void RecorderPanel::showSettings(QObject *sender)
{
    Log::line("setting");
    auto *button = qobject_cast<QAbstractButton *>(sender);
    if (!button)
        return;
    const QRect bounds = button->rect();
    Log::line(QStringLiteral("bounds : {{%1, %2}, {%3, %4}}")
                  .arg(bounds.x())
                  .arg(bounds.y())
                  .arg(bounds.width())
                  .arg(bounds.height()));
    popover->showMenu(makeSettingsMenu ? makeSettingsMenu() : nullptr, button);
}
