#pragma once

#include "platform/FileManager.h"

#include <QObject>

namespace platform {

// Asks the desktop's file manager to show the file selected in its folder through
// org.freedesktop.FileManager1.ShowItems on the session bus (Nautilus, Dolphin, Nemo, Caja,
// Thunar, PCManFM-Qt ...; the bus starts one that is installed but not running). Where no one
// provides it, or the call fails, the folder opens through QDesktopServices. The call never
// blocks: the answer comes through the event loop.
class FreedesktopFileManager : public FileManager {
public:
    void showInFolder(const QString &path) override;

private:
    // The calls still waiting for their answer: they end with this object.
    QObject pendingCalls;
};

} // namespace platform
