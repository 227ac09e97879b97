#include "platform/filemanager/qt/QtFileManager.h"

#include "platform/Log.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace platform {

void QtFileManager::showInFolder(const QString &path)
{
    // macOS would select the file with NSWorkspace's activateFileViewerSelectingURLs:, Windows
    // with SHOpenFolderAndSelectItems; until a backend of their own does, they open the folder.
    openContainingFolder(path);
}

void QtFileManager::openContainingFolder(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo(folder).isDir()) {
        Log::diagnostic(QStringLiteral("cannot show %1: its folder is gone").arg(path));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        Log::diagnostic(QStringLiteral("the desktop has no file manager to open %1 with").arg(folder));
}

} // namespace platform
