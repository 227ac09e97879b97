#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// The modal dialog in which the user chooses where a recording goes.
class SaveDialog {
public:
    enum Response { Cancel = 0, OK = 1 };
    struct Result {
        int response = Cancel; // OK, Cancel, or another value when ended by other means
        QString path;          // the chosen file, with an allowed extension, when OK
    };
    virtual ~SaveDialog() = default;
    // Blocks until the dialog closes, showing `folder` first. The user confirms before an
    // existing file is replaced.
    virtual Result runModal(const QString &proposedName, const QStringList &allowedTypes,
                            const QString &folder) = 0;
};

} // namespace platform
