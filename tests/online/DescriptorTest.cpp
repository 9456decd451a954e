// The update descriptor without any window: the settings it carries into config.ini, the
// version test, the local copy and its address.
#include "OnlineHarness.h"
#include "online/UpdateDescriptor.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

QString programFolderWith(const QByteArray& descriptorBytes) {
    const QString folder = testenv::newProgramFolder();
    testenv::writeFile(folder + QStringLiteral("/update.ini"), descriptorBytes);
    return folder;
}

} // namespace

TEST(UpdateDescriptor, CopiesTheThirteenKeysIntoTheirSectionsAndNothingElse) {
    const QString folder = programFolderWith(gbk(QStringLiteral(
        "[Version]\nnewversion=Build0600\nnewversionnum=600\n"
        "[Config]\nmnupop=1\npopwindow=1\npoplink=http://example.org/再见\n"
        "vlgroupurl=http://example.org/\nmctext=欢迎使用字体管理\nmccolor=255\n"
        "mclink=http://example.org/新闻\nmctp=点击查看新闻\nmaincaption=Vorlan字体管理 新版\n"
        "ifopenmsg=1\nopenmsg=你好，世界\nifclosemsg=1\nclosemsg=再见\n"
        "language=e\nversionnum=999\n")));
    const QString config = folder + QStringLiteral("/config.ini");
    const QByteArray before = testenv::readFile(config);

    EXPECT_TRUE(descriptor::copyDescriptorSettings(folder + QStringLiteral("/update.ini"), config));

    auto read = [&](const char* section, const char* key) {
        return mfncGetFromIni(QString::fromLatin1(section), QString::fromLatin1(key), config);
    };
    EXPECT_EQ(read("Link", "mnupop"), QStringLiteral("1"));
    EXPECT_EQ(read("Link", "popwindow"), QStringLiteral("1"));
    EXPECT_EQ(read("Link", "poplink"), QStringLiteral("http://example.org/再见"));
    EXPECT_EQ(read("Link", "vlgroupurl"), QStringLiteral("http://example.org/"));
    EXPECT_EQ(read("Link", "mctext"), QStringLiteral("欢迎使用字体管理"));
    EXPECT_EQ(read("Link", "mccolor"), QStringLiteral("255"));
    EXPECT_EQ(read("Link", "mclink"), QStringLiteral("http://example.org/新闻"));
    EXPECT_EQ(read("Link", "mctp"), QStringLiteral("点击查看新闻"));
    EXPECT_EQ(read("Main", "maincaption"), QStringLiteral("Vorlan字体管理 新版"));
    EXPECT_EQ(read("Main", "ifopenmsg"), QStringLiteral("1"));
    EXPECT_EQ(read("Main", "openmsg"), QStringLiteral("你好，世界"));
    EXPECT_EQ(read("Main", "ifclosemsg"), QStringLiteral("1"));
    EXPECT_EQ(read("Main", "closemsg"), QStringLiteral("再见"));
    // Keys outside the list are not taken over, even under [Config].
    EXPECT_EQ(read("Main", "language"), QStringLiteral("c"));
    EXPECT_EQ(read("Main", "versionnum"), QStringLiteral("520"));
    EXPECT_EQ(read("Config", "mnupop"), QString());

    // The file is still GB18030, and every line that is not a copied key is byte for byte
    // what it was: comments, other sections, other keys.
    const QByteArray after = testenv::readFile(config);
    EXPECT_TRUE(after.contains(codepage::encode(QStringLiteral("mctext=欢迎使用字体管理"))));
    auto kept = [](const QByteArray& content) {
        QList<QByteArray> lines;
        for (const QByteArray& line : content.split('\n')) {
            const QByteArray key = line.split('=').first().trimmed();
            bool copied = false;
            for (const auto& item : descriptor::copiedKeys())
                copied = copied || key == item.key.toLatin1();
            if (!copied)
                lines.append(line);
        }
        return lines;
    };
    EXPECT_EQ(kept(before), kept(after));
    EXPECT_TRUE(after.startsWith("; VLFonts settings."));
}

TEST(UpdateDescriptor, MissingKeysAreWrittenEmptyInTheDesignedOrder) {
    const QList<descriptor::CopiedKey>& keys = descriptor::copiedKeys();
    ASSERT_EQ(keys.size(), 13);
    QStringList order;
    for (const auto& item : keys)
        order << item.section + QLatin1Char('/') + item.key;
    EXPECT_EQ(order.join(QLatin1Char(' ')),
              QStringLiteral("Link/mnupop Link/popwindow Link/poplink Link/vlgroupurl Link/mctext "
                             "Link/mccolor Link/mclink Link/mctp Main/maincaption Main/ifopenmsg "
                             "Main/openmsg Main/ifclosemsg Main/closemsg"));

    for (const QByteArray& descriptorText :
         {QByteArray("[Version]\nnewversionnum=600\n[BBS]\nnewtech=x\n"), QByteArray()}) {
        const QString folder = programFolderWith(descriptorText);
        const QString config = folder + QStringLiteral("/config.ini");
        for (const auto& item : keys)
            mfncWriteIni(item.section, item.key, QStringLiteral("old"), config);
        descriptor::copyDescriptorSettings(folder + QStringLiteral("/update.ini"), config);
        for (const auto& item : keys) {
            // Present and empty, not removed: the key line is still in the file.
            EXPECT_EQ(mfncGetFromIni(item.section, item.key, config), QString())
                << item.key.toStdString();
            EXPECT_TRUE(testenv::readFile(config).contains(item.key.toLatin1() + "=\r\n") ||
                        testenv::readFile(config).contains(item.key.toLatin1() + "=\n"))
                << item.key.toStdString();
        }
    }
}

TEST(UpdateDescriptor, VersionTestComparesRoundedNumbersStrictly) {
    struct Case {
        const char* installed;
        const char* offered;
        bool newer;
        int vernum;
        int newvernum;
    };
    const Case cases[] = {
        {"120", "120", false, 120, 120},
        {"119", "120", true, 119, 120},
        {"121", "120", false, 121, 120},
        {"119", "120abc", true, 119, 120}, // letters after the number do not count
        {"", "1", true, 0, 1},             // nothing installed counts as 0
        {"", "", false, 0, 0},
        {"120", "", false, 120, 0},
        {"abc", "5", true, 0, 5},
        {" 119", " 120", true, 119, 120},  // as the program writes numbers
        {"119.5", "120", false, 120, 120}, // halves go to the even neighbour
        {"120", "120.5", false, 120, 120},
        {"120", "121.5", true, 120, 122},
        {"120", "120.6", true, 120, 121},
        {"32767", "40000", true, 32767, 32767}, // past the 16-bit field, still newer
        {"-3", "0", true, -3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.installed) + " / " + c.offered);
        const auto test =
            descriptor::versionTest(QString::fromUtf8(c.installed), QString::fromUtf8(c.offered));
        EXPECT_EQ(test.newer, c.newer);
        EXPECT_EQ(test.vernum, c.vernum);
        EXPECT_EQ(test.newvernum, c.newvernum);
    }
}

TEST(UpdateDescriptor, StoringReplacesTheWholeFile) {
    const QString folder = testenv::newProgramFolder();
    const QString path = folder + QStringLiteral("/update.ini");
    testenv::writeFile(path, QByteArray(5000, 'x') + "\r\n[Old]\r\ntail=1\r\n");
    ASSERT_TRUE(descriptor::storeDescriptor(path, "[Version]\r\nnewversionnum=7\r\n"));
    EXPECT_EQ(testenv::readFile(path), QByteArray("[Version]\r\nnewversionnum=7\r\n"));

    // A folder that cannot be written keeps the old copy.
    const QString locked = testenv::newFolder(QStringLiteral("locked"));
    testenv::writeFile(locked + QStringLiteral("/update.ini"), "old");
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (!QFileInfo(locked).isWritable()) { // not when the tests run as root
        EXPECT_FALSE(descriptor::storeDescriptor(locked + QStringLiteral("/update.ini"), "new"));
        EXPECT_EQ(testenv::readFile(locked + QStringLiteral("/update.ini")), QByteArray("old"));
    }
    QFile::setPermissions(locked,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(UpdateDescriptor, TheEnvironmentNamesAnotherServer) {
    qunsetenv("VLFONTS_UPDATE_URL");
    EXPECT_EQ(descriptor::updateAddress(), QStringLiteral(VLFONTS_UPDATE_URL));
    EXPECT_TRUE(descriptor::updateAddress().endsWith(QStringLiteral("update.ini")));
    qputenv("VLFONTS_UPDATE_URL", " http://127.0.0.1:9/test/update.ini ");
    EXPECT_EQ(descriptor::updateAddress(), QStringLiteral("http://127.0.0.1:9/test/update.ini"));
    qputenv("VLFONTS_UPDATE_URL", "");
    EXPECT_EQ(descriptor::updateAddress(), QStringLiteral(VLFONTS_UPDATE_URL));
    qputenv("VLFONTS_UPDATE_URL", "http://127.0.0.1:9/update.ini"); // back to the safe address
}
