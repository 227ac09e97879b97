#pragma once

#include <QObject>
#include <QString>

#include <memory>

namespace platform {

// One recorder per user session: a second launch hands over to the running one and ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `applicationId` is reverse-DNS, like "org.registratore.Registratore".
    explicit SingleInstance(const QString &applicationId);
    ~SingleInstance() override;

    // Asks a running recorder to show itself. True when one answered.
    bool handOverToRunning();
    // Becomes the running recorder: later launches reach this one.
    bool listen();

signals:
    // A later launch asked to see the recorder.
    void reopenRequested();

private:
    // How later launches reach the running one on this platform.
    class Channel;
    QString applicationId;
    std::unique_ptr<Channel> channel;
};

} // namespace platform
