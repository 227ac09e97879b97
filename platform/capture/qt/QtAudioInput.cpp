#include "platform/capture/qt/QtAudioInput.h"

#include "platform/Log.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSource>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <vector>

namespace platform {

namespace {

const TranslatableText kDisconnected("Microphone",
                                     QT_TRANSLATE_NOOP("Microphone", "The microphone was disconnected."));
const TranslatableText kNotReopened(
    "Microphone",
    QT_TRANSLATE_NOOP("Microphone", "The microphone could not be opened again after the pause."));

// The thread every QAudioSource of the process lives on, with Qt Multimedia's own objects, made
// at the first opening. It runs until the application object goes.
std::mutex threadLock;
QThread *runningThread = nullptr;

void endCaptureThread()
{
    std::lock_guard guard(threadLock);
    runningThread->quit();
    // A thread still waiting on the sound system is left to the end of the process.
    if (runningThread->wait(1000))
        delete runningThread;
    runningThread = nullptr;
}

QThread *captureThread()
{
    std::lock_guard guard(threadLock);
    if (!runningThread) {
        runningThread = new QThread;
        runningThread->setObjectName(QStringLiteral("capture"));
        runningThread->start();
        qAddPostRoutine(endCaptureThread);
    }
    return runningThread;
}

bool fail(TranslatableText *error, const TranslatableText &text)
{
    if (error)
        *error = text;
    return false;
}

// Whether the system still lists the microphone. By its id alone: QAudioDevice::operator== of some
// Qt versions also compares the default flag, which changes when another default is picked.
bool isListed(const QAudioDevice &device)
{
    const QList<QAudioDevice> inputs = QMediaDevices::audioInputs();
    return std::any_of(inputs.begin(), inputs.end(),
                       [&](const QAudioDevice &input) { return input.id() == device.id(); });
}

} // namespace

// One opened microphone, on the capture thread: its QAudioSource, the hold, and the sink.
class QtAudioInput::Capture : public QObject {
public:
    explicit Capture(std::chrono::milliseconds releaseAfter)
    {
        release.setSingleShot(true);
        release.setInterval(releaseAfter);
        connect(&release, &QTimer::timeout, this, &Capture::releaseDue);
        // Qt 6.4 does not send QMediaDevices::audioInputsChanged() on PulseAudio: asked instead.
        // Where it is sent (Qt 6.8), it is heard at once.
        presence.setInterval(std::chrono::milliseconds(500));
        connect(&presence, &QTimer::timeout, this, &Capture::checkPresence);
        connect(&devices, &QMediaDevices::audioInputsChanged, this, &Capture::checkPresence);
    }

    // --- on the capture thread ----------------------------------------------------------------

    bool open(int sampleRate, TranslatableText *error)
    {
        format.setSampleRate(sampleRate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        device = QMediaDevices::defaultAudioInput();
        if (device.isNull())
            return fail(error, {"Microphone", QT_TRANSLATE_NOOP("Microphone", "No microphone found.")});
        return start(error);
    }

    void hold(bool on)
    {
        if (on == held)
            return;
        held = on;
        if (on) {
            release.start();
            return;
        }
        release.stop();
        if (std::exchange(released, false)) {
            reopen();
            return;
        }
        // What arrived during the hold and is not read yet is dropped: only what comes from now on
        // is delivered.
        if (io)
            io->readAll();
        carried.clear();
    }

    void drain()
    {
        if (!held)
            readAvailable();
    }

    void close()
    {
        release.stop();
        stop();
    }

    bool isDefault() const
    {
        return !device.isNull() && QMediaDevices::defaultAudioInput().id() == device.id();
    }

    // --- on any thread ------------------------------------------------------------------------

    void setSink(AudioSink *to)
    {
        std::lock_guard guard(sinkLock);
        sink = to;
        // A microphone lost before anyone listened is still news to the new sink.
        if (sink && lost && !lossReported) {
            lossReported = true;
            sink->inputLost(lossReason);
        }
    }

    bool isLost() const
    {
        std::lock_guard guard(sinkLock);
        return lost;
    }

    // The sink hears that the capture is over; the source itself is left to the capture thread.
    void tellLost(const TranslatableText &reason)
    {
        std::lock_guard guard(sinkLock);
        if (lost)
            return;
        lost = true;
        lossReason = reason;
        if (sink) {
            lossReported = true;
            sink->inputLost(lossReason);
        }
    }

private:
    bool start(TranslatableText *error)
    {
        if (!device.isFormatSupported(format))
            return fail(error, TranslatableText(
                                   "Microphone",
                                   QT_TRANSLATE_NOOP("Microphone",
                                                     "The microphone cannot record 16-bit mono at %1 Hz."))
                                   .arg(QString::number(format.sampleRate())));
        source = std::make_unique<QAudioSource>(device, format);
        connect(source.get(), &QAudioSource::stateChanged, this, &Capture::stateChanged);
        io = source->start();
        if (!io || source->state() == QAudio::StoppedState) {
            stop();
            return fail(error, TranslatableText(
                                   "Microphone",
                                   QT_TRANSLATE_NOOP("Microphone", "Cannot capture the microphone “%1”."))
                                   .arg(device.description()));
        }
        connect(io, &QIODevice::readyRead, this, &Capture::readAvailable);
        presence.start();
        return true;
    }

    void stop()
    {
        stopping = true;
        presence.stop();
        if (source)
            source->stop();
        source.reset(); // its QIODevice with it
        io = nullptr;
        carried.clear();
        stopping = false;
    }

    // A long hold: the microphone goes, so that the desktop no longer shows it in use.
    void releaseDue()
    {
        if (!held || !source)
            return;
        stop();
        released = true;
    }

    // The microphone captured before the long hold, or the default one when it is gone.
    void reopen()
    {
        const QAudioDevice before = device;
        if (!isListed(device))
            device = QMediaDevices::defaultAudioInput();
        if (device.isNull() || !start(nullptr)) {
            lose(kNotReopened);
            return;
        }
        if (device.id() != before.id()) {
            std::lock_guard guard(sinkLock);
            if (sink)
                sink->inputChanged(device.description().toStdString());
        }
    }

    void readAvailable()
    {
        if (!io)
            return;
        const QByteArray bytes = io->readAll();
        if (bytes.isEmpty() || held)
            return;
        // Whole samples only: a byte split from its sample waits for the next read.
        carried.append(bytes);
        const qsizetype whole = carried.size() / qsizetype(sizeof(std::int16_t));
        if (whole == 0)
            return;
        samples.resize(static_cast<size_t>(whole));
        std::memcpy(samples.data(), carried.constData(), samples.size() * sizeof(std::int16_t));
        carried.remove(0, whole * qsizetype(sizeof(std::int16_t)));
        std::lock_guard guard(sinkLock);
        if (sink && !lost)
            sink->audioCaptured(samples);
    }

    void stateChanged(QAudio::State state)
    {
        // Told once the source is done telling: losing the input deletes it.
        if (!stopping && state == QAudio::StoppedState && source && source->error() != QAudio::NoError)
            QMetaObject::invokeMethod(
                this, [this] { lose(kDisconnected); }, Qt::QueuedConnection);
    }

    // A microphone unplugged (or unloaded) leaves the system's list.
    void checkPresence()
    {
        if (source && !isListed(device))
            lose(kDisconnected);
    }

    void lose(const TranslatableText &reason)
    {
        stop();
        tellLost(reason);
    }

    QAudioFormat format;
    QAudioDevice device;
    std::unique_ptr<QAudioSource> source;
    QIODevice *io = nullptr; // the source's, while it runs
    // Children, so that they move to the capture thread with it.
    QTimer release{this};
    QTimer presence{this};
    QMediaDevices devices{this};
    bool held = false;
    bool released = false; // held long enough that the source was stopped
    bool stopping = false;
    QByteArray carried;
    std::vector<std::int16_t> samples;

    mutable std::recursive_mutex sinkLock; // a sink may set the sink from its callbacks
    AudioSink *sink = nullptr;
    bool lost = false;
    bool lossReported = false;
    TranslatableText lossReason;
};

QtAudioInput::QtAudioInput(std::chrono::milliseconds releaseAfter) : releaseAfter(releaseAfter) {}

QtAudioInput::~QtAudioInput()
{
    close();
}

bool QtAudioInput::onCaptureThread() const
{
    return capture && QThread::currentThread() == capture->thread();
}

bool QtAudioInput::runOnCaptureThread(std::function<void()> work) const
{
    struct Done {
        std::mutex mutex;
        std::condition_variable finished;
        bool done = false;
    };
    auto done = std::make_shared<Done>();
    QMetaObject::invokeMethod(
        capture,
        [work = std::move(work), done] {
            work();
            {
                std::lock_guard guard(done->mutex);
                done->done = true;
            }
            done->finished.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(done->mutex);
    return done->finished.wait_for(lock, patience, [&] { return done->done; });
}

bool QtAudioInput::open(int sampleRate, TranslatableText *error)
{
    if (isOpen() && rate == sampleRate)
        return true;
    close();
    if (!QCoreApplication::instance())
        return fail(error,
                    {"Microphone",
                     QT_TRANSLATE_NOOP("Microphone",
                                       "Cannot capture the microphone: the application is not running.")});
    capture = new Capture(releaseAfter);
    capture->moveToThread(captureThread());
    struct Opening {
        bool opened = false;
        TranslatableText error;
    };
    auto opening = std::make_shared<Opening>();
    const bool answered = runOnCaptureThread([capture = capture, sampleRate, opening] {
        opening->opened = capture->open(sampleRate, &opening->error);
    });
    if (answered && opening->opened) {
        rate = sampleRate;
        return true;
    }
    close();
    return fail(error, answered ? opening->error
                                : TranslatableText("Microphone",
                                                   QT_TRANSLATE_NOOP("Microphone",
                                                                     "Cannot capture the microphone: "
                                                                     "the sound system does not answer.")));
}

bool QtAudioInput::isOpen() const
{
    return capture && rate != 0 && !capture->isLost();
}

int QtAudioInput::sampleRate() const
{
    return isOpen() ? rate : 0;
}

void QtAudioInput::setSink(AudioSink *sink)
{
    if (capture)
        capture->setSink(sink);
}

void QtAudioInput::setHeld(bool held)
{
    if (!capture || onCaptureThread())
        return;
    // A resume the capture thread does not answer in time captures nothing: Qt's PulseAudio
    // source waits for good to reopen a microphone that went during a long hold and is still
    // listed (Qt 6.8). The recording ends and says so instead of going on silent.
    if (!runOnCaptureThread([capture = capture, held] { capture->hold(held); }) && !held)
        capture->tellLost(kNotReopened);
}

void QtAudioInput::drain()
{
    if (capture && !onCaptureThread())
        runOnCaptureThread([capture = capture] { capture->drain(); });
}

void QtAudioInput::close()
{
    if (!capture)
        return;
    if (onCaptureThread()) {
        Log::diagnostic(QStringLiteral("QtAudioInput::close() called from the capture thread; ignored"));
        return;
    }
    // Whether or not the thread answers in time, the capture is stopped and deleted there, after
    // everything asked of it before.
    runOnCaptureThread([capture = capture] {
        capture->close();
        capture->deleteLater();
    });
    capture = nullptr;
    rate = 0;
}

bool QtAudioInput::isDefaultInput() const
{
    if (!isOpen() || onCaptureThread())
        return false;
    auto same = std::make_shared<bool>(true);
    // Without an answer the open microphone is kept: better the microphone in hand than none.
    if (!runOnCaptureThread([capture = capture, same] { *same = capture->isDefault(); }))
        return true;
    return *same;
}

} // namespace platform
