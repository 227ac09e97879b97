#include "platform/qt/QtSaveDialog.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace platform {

namespace {

// Asks whether `name` may be replaced, showing it as it is, never read as markup; `answered`
// runs with the answer.
void askToReplace(QWidget *parent, const QString &name, QObject *context, std::function<void(bool)> answered)
{
    auto *question = new QMessageBox(
        QMessageBox::Question, QCoreApplication::translate("SaveDialog", "Save Recording"),
        QCoreApplication::translate("SaveDialog", "%1 already exists.\nDo you want to replace it?").arg(name),
        QMessageBox::Yes | QMessageBox::No, parent);
    question->setTextFormat(Qt::PlainText);
    question->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(question, &QMessageBox::finished, context,
                     [question, answered = std::move(answered)](int) {
                         answered(question->result() == QMessageBox::Yes);
                     });
    question->open();
}

} // namespace

void QtSaveDialog::open(const QString &proposedName, const QStringList &allowedTypes, const QString &folder,
                        QObject *context, std::function<void(const Result &)> done)
{
    QStringList patterns;
    for (const QString &type : allowedTypes)
        patterns << QStringLiteral("*.") + type;
    auto *dialog =
        new QFileDialog(parent, QCoreApplication::translate("SaveDialog", "Save Recording"), folder);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    //: The file type in the save dialog; %1 is its patterns (*.caf).
    dialog->setNameFilter(QCoreApplication::translate("SaveDialog", "Core Audio Format (%1)")
                              .arg(patterns.join(QLatin1Char(' '))));
    if (!allowedTypes.isEmpty())
        dialog->setDefaultSuffix(allowedTypes.first());
    dialog->selectFile(proposedName);

    QObject::connect(dialog, &QDialog::finished, context,
                     [this, dialog, allowedTypes, context, done = std::move(done)](int response) {
                         Result result;
                         result.response = response;
                         if (response != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
                             done(result);
                             return;
                         }
                         result.response = OK;
                         result.path = dialog->selectedFiles().first();
                         if (allowedTypes.isEmpty() ||
                             allowedTypes.contains(QFileInfo(result.path).suffix(), Qt::CaseInsensitive)) {
                             done(result);
                             return;
                         }
                         // A name with another extension still becomes a file of the allowed type.
                         result.path += QLatin1Char('.') + allowedTypes.first();
                         if (!QFileInfo::exists(result.path)) {
                             done(result);
                             return;
                         }
                         askToReplace(parent, QFileInfo(result.path).fileName(), context,
                                      [result, done](bool replace) {
                                          done(replace ? result : Result{Cancel, QString()});
                                      });
                     });
    dialog->open();
}

} // namespace platform
