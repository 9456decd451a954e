#include "app/settings/ProgramFolder.h"

#include <QCoreApplication>

namespace programfolder {

QString path() {
    return QCoreApplication::applicationDirPath();
}

QString file(const QString& name) {
    return path() + QLatin1Char('/') + name;
}

QString configIni() {
    return file(QStringLiteral("config.ini"));
}

} // namespace programfolder
