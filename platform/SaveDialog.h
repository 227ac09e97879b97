#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace platform {

// The dialog in which the user chooses where a recording goes.
class SaveDialog {
public:
    enum Response { Cancel = 0, OK = 1 };
    struct Result {
        int response = Cancel; // OK, Cancel, or another value when ended by other means
        QString path;          // the chosen file, with an allowed extension, when OK
    };
    virtual ~SaveDialog() = default;
    // Opens the dialog on `folder` and returns at once. Once the user has answered, `done` runs
    // with the answer on `context`'s thread, unless `context` is gone by then. The user confirms
    // before an existing file is replaced.
    virtual void open(const QString &proposedName, const QStringList &allowedTypes, const QString &folder,
                      QObject *context, std::function<void(const Result &)> done) = 0;
};

} // namespace platform
