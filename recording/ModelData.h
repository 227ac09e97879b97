#pragma once

#include <QString>

// State the recorder panel shares with the application shell: the close guard of the
// recorder popover. "Si" lets the popover close; any other value holds it open.
class ModelData {
public:
    // The one instance, created at first use (thread-safe) and kept until the process ends.
    static ModelData &shared();

    QString chiudo = QStringLiteral("Si");

    static bool allowsClose(const QString &guard) { return guard == QLatin1String("Si"); }

private:
    ModelData() = default;
    ModelData(const ModelData &) = delete;
    ModelData &operator=(const ModelData &) = delete;
};
