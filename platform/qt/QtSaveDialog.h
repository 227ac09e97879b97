#pragma once

#include "platform/SaveDialog.h"

class QWidget;

namespace platform {

// QFileDialog, window-modal over `parent`: the rest of the application goes on while it is up.
class QtSaveDialog : public SaveDialog {
public:
    explicit QtSaveDialog(QWidget *parent = nullptr) : parent(parent) {}
    void open(const QString &proposedName, const QStringList &allowedTypes, const QString &folder,
              QObject *context, std::function<void(const Result &)> done) override;

private:
    QWidget *parent;
};

} // namespace platform
