#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;

namespace platform {

// One recorder per user: a second launch hands over to the running one and ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString &name);
    ~SingleInstance() override;

    // Asks a running recorder to show itself. True when one answered.
    bool handOverToRunning();
    // Becomes the running recorder: later launches reach this one.
    bool listen();

signals:
    // A later launch asked to see the recorder.
    void reopenRequested();

private:
    QString serverName;
    std::unique_ptr<QLocalServer> server;
};

} // namespace platform
