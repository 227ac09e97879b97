#pragma once

#include <QString>

class SavingRecordings;

// What the panel and the status icon's tooltip say of the files still being saved: "Saving… 12 s
// of audio still to write", and, while a quit waits for them, what that means. Empty when there
// is nothing to tell.
QString savingMessage(const SavingRecordings &saving, bool quitWaits);
