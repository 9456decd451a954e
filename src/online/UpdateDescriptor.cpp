#include "online/UpdateDescriptor.h"

#include "app/settings/CodePage.h"
#include "app/settings/IniFile.h"
#include "app/settings/NumberForm.h"
#include "app/settings/SettingsFile.h"

#include <QSaveFile>

namespace descriptor {

const QList<CopiedKey>& copiedKeys() {
    static const QList<CopiedKey> keys = [] {
        QList<CopiedKey> list;
        for (const char* key : {"mnupop", "popwindow", "poplink", "vlgroupurl", "mctext", "mccolor",
                                "mclink", "mctp"})
            list.append({QStringLiteral("Link"), QString::fromLatin1(key)});
        for (const char* key : {"maincaption", "ifopenmsg", "openmsg", "ifclosemsg", "closemsg"})
            list.append({QStringLiteral("Main"), QString::fromLatin1(key)});
        return list;
    }();
    return keys;
}

bool copyDescriptorSettings(const QString& descriptorPath, const QString& configPath) {
    bool allWritten = true;
    for (const CopiedKey& item : copiedKeys()) {
        const QString value = mfncGetFromIni(QStringLiteral("Config"), item.key, descriptorPath);
        if (mfncWriteIni(item.section, item.key, value, configPath) == 0)
            allWritten = false;
    }
    return allWritten;
}

bool isDescriptor(const QByteArray& bytes) {
    if (!codepage::decodes(bytes))
        return false;
    const auto number = IniFile::findValue(bytes, "Version", "newversionnum");
    return number && numberform::hasLeadingNumber(codepage::decode(*number));
}

bool storeDescriptor(const QString& descriptorPath, const QByteArray& bytes) {
    if (!settingsfile::mayWrite(descriptorPath))
        return false;
    QSaveFile file(descriptorPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString updateAddress() {
    const QString fromEnvironment = qEnvironmentVariable("VLFONTS_UPDATE_URL").trimmed();
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QStringLiteral(VLFONTS_UPDATE_URL);
}

VersionTest versionTest(const QString& installed, const QString& offered) {
    VersionTest test;
    const double installedNumber = numberform::leading(installed);
    const double offeredNumber = numberform::leading(offered);
    test.vernum = numberform::toInt16(installedNumber);
    test.newvernum = numberform::toInt16(offeredNumber);
    // Compared before the 16-bit cut, so that builds past 32767 are still told apart.
    test.newer = numberform::toInt32(installedNumber) < numberform::toInt32(offeredNumber);
    return test;
}

} // namespace descriptor
