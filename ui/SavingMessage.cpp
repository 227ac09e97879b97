#include "ui/SavingMessage.h"

#include "recording/SavingRecordings.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

QString savingMessage(const SavingRecordings &saving, bool quitWaits)
{
    if (saving.isEmpty() || !(saving.announced() || quitWaits))
        return {};
    const double seconds = saving.secondsToSave();
    const QString what =
        saving.count() == 1
            ? QCoreApplication::translate("SavingMessage", "Saving…")
            //: More than one recording is still being written to disk.
            : QCoreApplication::translate("SavingMessage", "Saving %n recordings…", "", saving.count());
    const int wholeSeconds = static_cast<int>(std::max(1.0, std::round(seconds)));
    //: %1 is "Saving…" or "Saving 2 recordings…".
    QString text = seconds >= 0.5
                       ? QCoreApplication::translate("SavingMessage", "%1 %n s of audio still to write", "",
                                                     wholeSeconds)
                             .arg(what)
                       //: %1 is "Saving…" or "Saving 2 recordings…".
                       : QCoreApplication::translate("SavingMessage", "%1 completing the file").arg(what);
    if (quitWaits)
        text +=
            QLatin1Char('\n') +
            QCoreApplication::translate(
                "SavingMessage", "Registratore quits once it is saved. Quit again to quit now and lose it.");
    return text;
}
