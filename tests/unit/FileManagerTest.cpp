#include "platform/FileManager.h"

#include "fakes/PrivateSessionBus.h"

#include <QDesktopServices>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#ifndef REGISTRATORE_PORTABLE
#include <QDBusConnection>
#endif

namespace {

// The desktop as the file manager sees it: org.freedesktop.FileManager1 on the bus (once it
// is registered there) and the handler of file: URLs that QDesktopServices calls.
class FakeDesktop : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList shownItems;
    QList<QUrl> openedUrls;

public slots:
    Q_SCRIPTABLE void ShowItems(const QStringList &uris, const QString &) { shownItems << uris; }
    void openUrl(const QUrl &url) { openedUrls << url; }
};

} // namespace

// A name with spaces, non-ASCII letters, '#' and '%', which a URI must encode; the folder opens
// where no file manager is on the bus, and the file is shown selected by the one that is.
TEST(FileManagerTest, ShowItemsGetsTheEncodedUriOfTheFileElseItsFolderOpens)
{
#ifndef REGISTRATORE_PORTABLE
    PrivateSessionBus bus;
    ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon (Debian package dbus-daemon) did not start";
#endif
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("Nota vocale città #2 100%.caf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    FakeDesktop desktop;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &desktop, "openUrl");
    const std::unique_ptr<platform::FileManager> fileManager = platform::makeSystemFileManager();

    fileManager->showInFolder(path);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !desktop.openedUrls.isEmpty(); }, 5000));
    EXPECT_EQ(desktop.openedUrls, QList<QUrl>{QUrl::fromLocalFile(folder.path())});

#ifndef REGISTRATORE_PORTABLE
    QDBusConnection fileManagerBus =
        QDBusConnection::connectToBus(bus.address, QStringLiteral("file-manager"));
    ASSERT_TRUE(fileManagerBus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &desktop,
                                              QDBusConnection::ExportScriptableSlots));
    ASSERT_TRUE(fileManagerBus.registerService(QStringLiteral("org.freedesktop.FileManager1")));
    fileManager->showInFolder(path);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !desktop.shownItems.isEmpty(); }, 5000));
    EXPECT_EQ(desktop.shownItems,
              QStringList{QStringLiteral("file://") + folder.path() +
                          QStringLiteral("/Nota%20vocale%20citt%C3%A0%20%232%20100%25.caf")});
    QTest::qWait(100);
    EXPECT_EQ(desktop.openedUrls.size(), 1); // no folder besides
    QDBusConnection::disconnectFromBus(QStringLiteral("file-manager"));
#endif
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

#include "FileManagerTest.moc"
