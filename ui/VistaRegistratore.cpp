#include "ui/VistaRegistratore.h"

#include "platform/Log.h"
#include "ui/LevelBar.h"
#include "ui/SettingsPopover.h"
#include "ui_VistaRegistratore.h"

#include <QToolButton>

namespace {
const QColor panelColour(39, 39, 39);
const QColor levelBarColour(71, 121, 202);

QIcon image(const QString &name)
{
    return QIcon(QStringLiteral(":/images/%1.svg").arg(name));
}
} // namespace

VistaRegistratore::VistaRegistratore(Services services, QWidget *parent)
    : QWidget(parent), popover(std::make_unique<SettingsPopover>()),
      makeSettingsMenu(std::move(services.makeSettingsMenu)), ui(std::make_unique<Ui::VistaRegistratore>()),
      recording(
          new RecordingController(std::move(static_cast<RecordingController::Services &>(services)), this))
{
    ui->setupUi(this);
    recordButton = ui->recordButton;
    stopButton = ui->stopButton;
    timeField = ui->timeField;
    vistaBarra = ui->vistaBarra;
    setRecordImage(recording->recordImage());
    stopButton->setIcon(image(QStringLiteral("stop")));
    ui->settingsButton->setIcon(image(QStringLiteral("settings")));
    showTime(recording->timeText());
    viewDidLoad();

    connect(recordButton, &QToolButton::clicked, this, [this] { clickRecord(recordButton); });
    connect(stopButton, &QToolButton::clicked, this, [this] { stop(stopButton); });
    connect(ui->settingsButton, &QToolButton::clicked, this, [this] { setting(ui->settingsButton); });

    connect(recording, &RecordingController::recordImageChanged, this, &VistaRegistratore::setRecordImage);
    connect(recording, &RecordingController::timeTextChanged, this, &VistaRegistratore::showTime);
    connect(recording, &RecordingController::levelChanged, vistaBarra, &LevelBar::setLevel);
    connect(recording, &RecordingController::levelCleared, vistaBarra, &LevelBar::clear);
    connect(recording, &RecordingController::messageChanged, this, &VistaRegistratore::showMessage);
    connect(&recording->saving(), &SavingRecordings::textChanged, this, &VistaRegistratore::showSaving);
}

VistaRegistratore::~VistaRegistratore() = default;

void VistaRegistratore::viewDidLoad()
{
    setAutoFillBackground(true);
    QPalette panel = palette();
    panel.setColor(QPalette::Window, panelColour);
    panel.setColor(QPalette::WindowText, Qt::white);
    panel.setColor(QPalette::ButtonText, Qt::white);
    setPalette(panel);

    vistaBarra->setAutoFillBackground(true);
    QPalette bar = vistaBarra->palette();
    bar.setColor(QPalette::Window, levelBarColour);
    vistaBarra->setPalette(bar);
}

QString VistaRegistratore::recordImage() const
{
    return recordButton->property("imageName").toString();
}

QString VistaRegistratore::message() const
{
    return ui->messageField->isHidden() ? QString() : ui->messageField->text();
}

void VistaRegistratore::setRecordImage(const QString &name)
{
    recordButton->setIcon(image(name));
    recordButton->setProperty("imageName", name);
    const QString role = name == QLatin1String("pause") ? QStringLiteral("Pause") : QStringLiteral("Record");
    recordButton->setAccessibleName(role);
    recordButton->setToolTip(role);
}

void VistaRegistratore::showTime(const QString &text)
{
    if (text == timeField->text())
        return;
    timeField->setText(text);
    // Qt's accessibility gives a label's text to screen readers only through its description
    // once the label has an accessible name.
    timeField->setAccessibleDescription(text);
}

void VistaRegistratore::showMessage(const QString &text)
{
    shownMessage = text;
    fillMessageField();
    if (!text.isEmpty())
        emit userMessage(text);
}

// What is being saved is shown under the message, and not sent as a notification: it changes as
// the disk catches up, and the status icon's tooltip says it too.
void VistaRegistratore::showSaving(const QString &text)
{
    shownSaving = text;
    fillMessageField();
}

void VistaRegistratore::fillMessageField()
{
    QStringList lines;
    for (const QString &line : {shownMessage, shownSaving}) {
        if (!line.isEmpty())
            lines << line;
    }
    const QString text = lines.join(QLatin1Char('\n'));
    ui->messageField->setText(text);
    ui->messageField->setAccessibleDescription(text);
    ui->messageField->setVisible(!text.isEmpty());
}

void VistaRegistratore::clickRecord(QObject *)
{
    recording->clickRecord();
}

void VistaRegistratore::stop(QObject *)
{
    recording->stop();
}

void VistaRegistratore::timerChanged(QTimer *firing)
{
    recording->timerChanged(firing);
}

QString VistaRegistratore::finishBeforeQuit()
{
    return recording->finishBeforeQuit();
}

// While the panel is hidden (the popover closed) nothing of the tick can be seen: its timer
// sleeps. Shown again, the timer restarts and ticks at once.
void VistaRegistratore::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    recording->setViewVisible(true);
}

void VistaRegistratore::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    recording->setViewVisible(false);
}

void VistaRegistratore::setting(QObject *sender)
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
