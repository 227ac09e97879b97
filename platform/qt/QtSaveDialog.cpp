#include "platform/qt/QtSaveDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace platform {

SaveDialog::Result QtSaveDialog::runModal(const QString &proposedName, const QStringList &allowedTypes,
                                          const QString &folder)
{
    QStringList patterns;
    for (const QString &type : allowedTypes)
        patterns << QStringLiteral("*.") + type;
    QFileDialog dialog(parent, QStringLiteral("Save Recording"), folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("Core Audio Format (%1)").arg(patterns.join(QLatin1Char(' '))));
    if (!allowedTypes.isEmpty())
        dialog.setDefaultSuffix(allowedTypes.first());
    dialog.selectFile(proposedName);

    Result result;
    result.response = dialog.exec();
    if (result.response != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return result;
    QString path = dialog.selectedFiles().first();
    if (!allowedTypes.isEmpty() && !allowedTypes.contains(QFileInfo(path).suffix(), Qt::CaseInsensitive)) {
        // A name with another extension still becomes a file of the allowed type.
        path += QLatin1Char('.') + allowedTypes.first();
        if (QFileInfo::exists(path) &&
            QMessageBox::question(parent, QStringLiteral("Save Recording"),
                                  QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                      .arg(QFileInfo(path).fileName())) != QMessageBox::Yes) {
            result.response = Cancel;
            return result;
        }
    }
    result.response = OK;
    result.path = path;
    return result;
}

} // namespace platform
