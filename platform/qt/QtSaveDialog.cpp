#include "platform/qt/QtSaveDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace platform {

namespace {
// The name is shown as it is, never read as markup.
bool replaceConfirmed(QWidget *parent, const QString &name)
{
    QMessageBox question(QMessageBox::Question, QStringLiteral("Save Recording"),
                         QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(name),
                         QMessageBox::Yes | QMessageBox::No, parent);
    question.setTextFormat(Qt::PlainText);
    return question.exec() == QMessageBox::Yes;
}
} // namespace

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
        if (QFileInfo::exists(path) && !replaceConfirmed(parent, QFileInfo(path).fileName())) {
            result.response = Cancel;
            return result;
        }
    }
    result.response = OK;
    result.path = path;
    return result;
}

} // namespace platform
