#include "UserFolders.h"

#include <QDir>

namespace Platform::UserFolders {
namespace {

// The XDG rule: a relative path in the variable is to be ignored, like an unset one.
QString xdgBase(const char* variable, const QString& underHome) {
    const QString base = qEnvironmentVariable(variable);
    if (base.isEmpty() || QDir::isRelativePath(base))
        return QDir::homePath() + underHome;
    return base;
}

}  // namespace

QString SettingsFile() {
    return xdgBase("XDG_CONFIG_HOME", QStringLiteral("/.config")) +
           QStringLiteral("/pictanote/pictanote.conf");
}

QString StateFolder() {
    return xdgBase("XDG_STATE_HOME", QStringLiteral("/.local/state")) +
           QStringLiteral("/pictanote");
}

}  // namespace Platform::UserFolders
