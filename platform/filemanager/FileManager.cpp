#include "platform/FileManager.h"

#ifdef REGISTRATORE_PORTABLE
#include "platform/filemanager/qt/QtFileManager.h"
namespace platform {
using SystemFileManager = QtFileManager; // the folder, through QDesktopServices
}
#else
#include "platform/filemanager/freedesktop/FreedesktopFileManager.h"
namespace platform {
using SystemFileManager = FreedesktopFileManager; // org.freedesktop.FileManager1, else the folder
}
#endif

namespace platform {

std::unique_ptr<FileManager> makeSystemFileManager()
{
    return std::make_unique<SystemFileManager>();
}

} // namespace platform
