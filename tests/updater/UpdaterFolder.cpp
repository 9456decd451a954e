#include "UpdaterFolder.h"

#include "app/settings/IniFile.h"

#include <QDir>
#include <QFile>

UpdaterFolder::UpdaterFolder(const QString& start, const QString& url, const QString& filename,
                             const QString& sha256) {
    program = testenv::newProgramFolder();
    update = program + QStringLiteral("/update");
    QDir().mkpath(update);
    const QString config = program + QStringLiteral("/config.ini");
    if (start.isNull()) {
        // The installed file carries start=0; drop the key altogether.
        QByteArray bytes = testenv::readFile(config);
        bytes.replace("start=0", "");
        testenv::writeFile(config, bytes);
    } else {
        mfncWriteIni(QStringLiteral("Update"), QStringLiteral("start"), start, config);
    }
    const QString descriptor = program + QStringLiteral("/update.ini");
    mfncWriteIni(QStringLiteral("Download"), QStringLiteral("URL"), url, descriptor);
    mfncWriteIni(QStringLiteral("Download"), QStringLiteral("filename"), filename, descriptor);
    if (!sha256.isEmpty())
        mfncWriteIni(QStringLiteral("Download"), QStringLiteral("sha256"), sha256, descriptor);
}

QString UpdaterFolder::startValue() const {
    return mfncGetFromIni(QStringLiteral("Update"), QStringLiteral("start"),
                          program + QStringLiteral("/config.ini"));
}

QStringList UpdaterFolder::downloadedFiles() const {
    QStringList files = QDir(update).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    files.removeAll(QStringLiteral("vlupdate"));
    return files;
}

QByteArray markerScript(int size) {
    QByteArray script = "#!/bin/sh\necho started > \"$(dirname \"$0\")/started.marker\"\n#";
    script.append(QByteArray(size - script.size() - 1, '-'));
    script.append('\n');
    return script;
}
