#include "ui/SavingMessage.h"

#include "recording/SavingRecordings.h"

#include <algorithm>
#include <cmath>

QString savingMessage(const SavingRecordings &saving, bool quitWaits)
{
    if (saving.isEmpty() || !(saving.announced() || quitWaits))
        return {};
    const double seconds = saving.secondsToSave();
    const QString what = saving.count() == 1 ? QStringLiteral("Saving…")
                                             : QStringLiteral("Saving %1 recordings…").arg(saving.count());
    QString text = seconds >= 0.5 ? QStringLiteral("%1 %2 s of audio still to write")
                                        .arg(what)
                                        .arg(std::max(1.0, std::round(seconds)), 0, 'f', 0)
                                  : QStringLiteral("%1 completing the file").arg(what);
    if (quitWaits)
        text += QStringLiteral("\nRegistratore quits once it is saved. Quit again to quit now and lose it.");
    return text;
}
