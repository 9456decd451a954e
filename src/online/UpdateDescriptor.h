#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>

// The update descriptor update.ini that the maker's server offers: where it comes from, the
// settings it carries into config.ini, and the build-number comparison.
namespace descriptor {

// One remotely managed setting: [Config] key of update.ini goes to [section] key of config.ini.
struct CopiedKey {
    QString section;
    QString key;
};
// The thirteen keys in the order they are copied.
const QList<CopiedKey>& copiedKeys();

// Copies every [Config] key of the descriptor into config.ini; a key the descriptor lacks is
// written empty. False when a write failed (the other keys are still written).
bool copyDescriptorSettings(const QString& descriptorPath, const QString& configPath);

// True when fetched bytes are a descriptor and not some other page that answered in its place
// (a Wi-Fi login page, a proxy's error page): they decode as GB18030 and hold [Version]
// newversionnum with a number in it.
bool isDescriptor(const QByteArray& bytes);

// Replaces the local descriptor with the fetched bytes as one whole file: a failed write
// leaves the previous copy as it was, and a file there that cannot be read is not replaced.
bool storeDescriptor(const QString& descriptorPath, const QByteArray& bytes);

// The address of the descriptor: the environment variable VLFONTS_UPDATE_URL when set,
// otherwise the address the program was built with.
QString updateAddress();

// The version test: the installed and the offered build numbers as the board holds them
// (16-bit), and whether the offered build is newer. Both texts are read as their leading
// decimal number rounded half to even; an empty or non-numeric text is 0.
struct VersionTest {
    std::int16_t vernum = 0;
    std::int16_t newvernum = 0;
    bool newer = false;
};
VersionTest versionTest(const QString& installed, const QString& offered);

} // namespace descriptor
