#pragma once

#include "platform/FileManager.h"

namespace platform {

// Opens the folder that holds the file with the desktop's handler of file: URLs
// (QDesktopServices); the file is not selected.
class QtFileManager : public FileManager {
public:
    void showInFolder(const QString &path) override;
    // What showInFolder() does, for the backends that fall back to it.
    static void openContainingFolder(const QString &path);
};

} // namespace platform
