#include "platform/folders.h"

#include <QDir>
#include <QStandardPaths>

namespace folders {

QString systemLocation(Kind kind) {
    switch (kind) {
    case Kind::Data: return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    case Kind::Config: return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    case Kind::Cache: return QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    }
    return QString();
}

QString location(Kind kind) {
    const QString home = qEnvironmentVariable(kHomeVariable);
    if (home.isEmpty()) return systemLocation(kind);
    static const char* const names[] = {"data", "config", "cache"};
    return QDir::cleanPath(QDir(home).absoluteFilePath(QLatin1String(names[int(kind)])));
}

}  // namespace folders
