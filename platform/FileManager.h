#pragma once

#include <QString>

#include <memory>

namespace platform {

// The desktop's file manager, for "Show in Folder".
class FileManager {
public:
    virtual ~FileManager() = default;
    // Opens the folder that holds `path` (an absolute path) with the file selected where the
    // file manager can do that, else the folder alone. Returns at once; what fails is said on
    // standard error.
    virtual void showInFolder(const QString &path) = 0;
};

// The file manager of the desktop the application runs on.
std::unique_ptr<FileManager> makeSystemFileManager();

} // namespace platform
