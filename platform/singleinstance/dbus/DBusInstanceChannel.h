#pragma once

#include "platform/SingleInstance.h"

#include <memory>

namespace platform {

// The running recorder owns the application id as a name on the session bus and answers Reopen,
// Open (as paths) and Command there. The bus gives a name to one connection at a time and takes it back when
// the process ends, however it ends, so two launches at once cannot both run and a killed recorder leaves
// nothing behind.
class DBusInstanceChannel {
public:
    DBusInstanceChannel(SingleInstance &owner, const QString &applicationId);
    ~DBusInstanceChannel();
    DBusInstanceChannel(const DBusInstanceChannel &) = delete;
    DBusInstanceChannel &operator=(const DBusInstanceChannel &) = delete;

    bool handOverToRunning();
    bool handOverFile(const QString &path);
    SingleInstance::Answer sendCommand(const QString &action);
    bool listen(QString *error);

private:
    class Service;
    SingleInstance &owner;
    const QString applicationId;
    std::unique_ptr<Service> service;
};

} // namespace platform
