#pragma once

#include "platform/SaveDialog.h"

class QWidget;

namespace platform {

class QtSaveDialog : public SaveDialog {
public:
    explicit QtSaveDialog(QWidget *parent = nullptr) : parent(parent) {}
    Result runModal(const QString &proposedName, const QStringList &allowedTypes,
                    const QString &folder) override;

private:
    QWidget *parent;
};

} // namespace platform
