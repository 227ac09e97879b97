#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace platform {

// One recorder per user session: a second launch hands over to the running one and ends, and
// later launches send it the commands of the desktop's keyboard shortcuts.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `applicationId` is reverse-DNS, like "org.registratore.Registratore".
    explicit SingleInstance(const QString &applicationId);
    ~SingleInstance() override;

    // Asks a running recorder to show itself. True when one answered.
    bool handOverToRunning();
    // Asks a running recorder to open the recording at `path`, which the launch has made
    // absolute and whose link, if it was one, it has resolved. True when one answered.
    bool handOverFile(const QString &path);
    // Becomes the running recorder: later launches reach this one. False, with why in `*error`
    // (when given) and on standard error, when they cannot.
    bool listen(QString *error = nullptr);

    // What a recorder answered to a command sent by a later launch.
    struct Answer {
        enum class Outcome {
            Done,        // carried out; `text` tells the state it left
            Refused,     // not carried out; `text` tells why
            Starting,    // a recorder runs but does not take commands yet
            NoneRunning, // no recorder answered
        };
        Outcome outcome = Outcome::NoneRunning;
        QString text;
    };
    // Answers one command at once (Done or Refused); it must not wait for the user.
    using CommandHandler = std::function<Answer(const QString &action)>;

    // Sends `action` to the running recorder and returns its answer.
    Answer sendCommand(const QString &action);
    // How this recorder, once listening, answers commands. Until it is set it answers Starting.
    void setCommandHandler(CommandHandler handler) { commandHandler = std::move(handler); }
    // This recorder's answer to `action` now (for the channel that received it).
    Answer answer(const QString &action) const;
    // What a later launch asked this recorder to open (for the channel that received it). It
    // comes from any client of the bus: only the first path counts, and only an absolute path
    // of bounded length to a regular file, a link not followed, is passed on as openRequested().
    void receiveFiles(const QStringList &paths);

    // The longest path, in bytes of UTF-8, that a later launch may hand over (Linux's PATH_MAX).
    static constexpr qsizetype longestPath = 4096;
    // Whether `path`, handed over by a later launch, may be opened; why not in `*why`.
    static bool acceptsFile(const QString &path, QString *why);

signals:
    // A later launch asked to see the recorder.
    void reopenRequested();
    // A later launch asked to open the recording at `path`: an absolute path to a regular file.
    void openRequested(const QString &path);

private:
    // How later launches reach the running one (singleinstance/SingleInstance.cpp picks it).
    class Channel;
    CommandHandler commandHandler;
    std::unique_ptr<Channel> channel;
};

} // namespace platform
