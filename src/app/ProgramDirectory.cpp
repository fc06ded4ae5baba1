#include "app/ProgramDirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace pelicard {

QString ProgramDirectory()
{
    QString executableDir = QCoreApplication::applicationDirPath();
    // A folder can look writable and still refuse a file; try one.
    QTemporaryFile probe(executableDir + QStringLiteral("/.pelicard-XXXXXX"));
    if (!executableDir.isEmpty() && probe.open()) {
        return executableDir;
    }
    QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(config);
    return config;
}

QString IniFileName(int productId)
{
    switch (productId) {
    case 0xE100:
        return QStringLiteral("Logger_5k.ini");
    case 0xE101:
        return QStringLiteral("Logger_50k.ini");
    case 0xE102:
        return QStringLiteral("Motorcal.ini");
    default:
        return {};
    }
}

} // namespace pelicard
