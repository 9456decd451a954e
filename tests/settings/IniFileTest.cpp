#include "app/settings/IniFile.h"
#include "TestEnvironment.h"
#include "app/settings/CodePage.h"
#include "app/settings/NumberForm.h"
#include "app/settings/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

QString iniWith(const QByteArray& bytes) {
    return testenv::writeFile(
        testenv::newFolder(QStringLiteral("ini")) + QStringLiteral("/config.ini"), bytes);
}

QString read(const QString& file, const char* section, const char* key) {
    return mfncGetFromIni(QString::fromUtf8(section), QString::fromUtf8(key), file);
}

} // namespace

TEST(IniFile, ReadsNamesWithoutRegardToCaseOrBlanksAndTheFirstMatchWins) {
    const QString file = iniWith("; comment=not a key\r\n"
                                 "orphan=before any section\r\n"
                                 "[Main]\r\n"
                                 "  Language \t=  c  \r\n"
                                 "language=second\r\n"
                                 "no equals sign here\r\n"
                                 "[ preview ]\r\n"
                                 "size= 12\r\n"
                                 "quoted=\"  kept blanks  \"\r\n"
                                 "single='x'\r\n"
                                 "unbalanced=\"x'\r\n"
                                 "[Main]\r\n"
                                 "later=only in the second Main\r\n"
                                 "[Link]trailing garbage\r\n"
                                 "mctext=hello\n");
    EXPECT_EQ(read(file, "MAIN", "language"), QStringLiteral("c"));
    EXPECT_EQ(read(file, "Preview", "SIZE"), QStringLiteral("12"));
    EXPECT_EQ(read(file, "Preview", "quoted"), QStringLiteral("  kept blanks  "));
    EXPECT_EQ(read(file, "Preview", "single"), QStringLiteral("x"));
    EXPECT_EQ(read(file, "Preview", "unbalanced"), QStringLiteral("\"x'"));
    EXPECT_EQ(read(file, "Main", "later"), QString()); // the first [Main] wins
    EXPECT_EQ(read(file, "Link", "mctext"), QStringLiteral("hello"));
    EXPECT_EQ(read(file, "Main", "orphan"), QString());
    EXPECT_EQ(read(file, "Main", "; comment"), QString());
    EXPECT_EQ(read(file, "Main", "missing"), QString());
    EXPECT_EQ(read(file, "Nowhere", "language"), QString());
    EXPECT_EQ(read(QStringLiteral("/nonexistent/config.ini"), "Main", "language"), QString());
}

TEST(IniFile, ValuesAreCutTo254BytesOnACharacterBoundary) {
    const QString chinese127 = QString(127, QChar(0x5B57)); // 字
    const QString chinese128 = QString(128, QChar(0x5B57));
    const QString file = iniWith(QByteArray());
    ASSERT_TRUE(mfncWriteIni(QStringLiteral("Main"), QStringLiteral("a"), chinese127, file));
    ASSERT_TRUE(mfncWriteIni(QStringLiteral("Main"), QStringLiteral("b"), chinese128, file));
    ASSERT_TRUE(
        mfncWriteIni(QStringLiteral("Main"), QStringLiteral("c"), QString(300, u'x'), file));
    // One ASCII byte then Chinese: the cut must not split a character.
    ASSERT_TRUE(mfncWriteIni(QStringLiteral("Main"), QStringLiteral("d"),
                             QStringLiteral("x") + chinese128, file));
    // A four-byte GB18030 character (outside GBK) survives whole or not at all.
    const QString emoji = QString::fromUcs4(U"\U0001F600");
    ASSERT_TRUE(mfncWriteIni(QStringLiteral("Main"), QStringLiteral("e"),
                             QStringLiteral("xx") + QString(124, QChar(0x5B57)) + emoji + emoji,
                             file));
    ASSERT_TRUE(mfncWriteIni(QStringLiteral("Main"), QStringLiteral("f"),
                             QStringLiteral("xx") + QString(125, QChar(0x5B57)) + emoji, file));
    EXPECT_EQ(read(file, "Main", "a"), chinese127);
    EXPECT_EQ(read(file, "Main", "b"), chinese127);
    EXPECT_EQ(read(file, "Main", "c"), QString(254, u'x'));
    EXPECT_EQ(read(file, "Main", "d"), QStringLiteral("x") + QString(126, QChar(0x5B57)));
    EXPECT_EQ(read(file, "Main", "e"), QStringLiteral("xx") + QString(124, QChar(0x5B57)) + emoji);
    EXPECT_EQ(read(file, "Main", "f"), QStringLiteral("xx") + QString(125, QChar(0x5B57)));
}

TEST(IniFile, WritesChangeOnlyTheirOwnLineAndKeepEveryOtherByte) {
    const QByteArray original = "; settings\r\n"
                                "[Main]\r\n"
                                "Language=c\r\n"
                                "\r\n"
                                "; keep me\n"
                                "caption=\xD7\xD6\xCC\xE5\r\n" // 字体 in GBK
                                "[Preview]\n"
                                "size= 12\n"
                                "\n"
                                "[Link]\r\n"
                                "mctext=x";
    const QString file = iniWith(original);

    ASSERT_TRUE(mfncWriteIni(QStringLiteral("main"), QStringLiteral("LANGUAGE"),
                             QStringLiteral("e"), file));
    QByteArray expected = original;
    expected.replace("Language=c\r\n", "Language=e\r\n");
    EXPECT_EQ(testenv::readFile(file), expected);

    // A missing key goes after the last key of its section, before blank lines.
    ASSERT_TRUE(mfncWriteIni(QStringLiteral("Preview"), QStringLiteral("color"),
                             QStringLiteral("255"), file));
    expected.replace("size= 12\n", "size= 12\ncolor=255\r\n");
    EXPECT_EQ(testenv::readFile(file), expected);

    // A key of the last section on a last line without a line end.
    ASSERT_TRUE(mfncWriteIni(QStringLiteral("Link"), QStringLiteral("mclink"),
                             QStringLiteral("http://a/"), file));
    expected += "\r\nmclink=http://a/\r\n";
    EXPECT_EQ(testenv::readFile(file), expected);

    // A missing section is appended at the end.
    ASSERT_TRUE(
        mfncWriteIni(QStringLiteral("Update"), QStringLiteral("start"), QStringLiteral("1"), file));
    expected += "[Update]\r\nstart=1\r\n";
    EXPECT_EQ(testenv::readFile(file), expected);

    EXPECT_EQ(read(file, "Main", "caption"), QStringLiteral("字体"));
}

TEST(IniFile, CreatesAMissingFileAndRefusesLineBreaksAndUnwritablePlaces) {
    const QString folder = testenv::newFolder(QStringLiteral("create"));
    const QString file = folder + QStringLiteral("/new.ini");
    ASSERT_TRUE(mfncWriteIni(QStringLiteral("Html"), QStringLiteral("text"),
                             QStringLiteral("中文 text"), file));
    EXPECT_EQ(testenv::readFile(file),
              codepage::encode(QStringLiteral("[Html]\r\ntext=中文 text\r\n")));

    const QByteArray before = testenv::readFile(file);
    EXPECT_EQ(mfncWriteIni(QStringLiteral("Html"), QStringLiteral("text"),
                           QStringLiteral("a\r\n[Update]\r\nstart=1"), file),
              0);
    EXPECT_EQ(
        mfncWriteIni(QStringLiteral("Html"), QStringLiteral("te\nxt"), QStringLiteral("v"), file),
        0);
    EXPECT_EQ(
        mfncWriteIni(QStringLiteral("Ht\rml"), QStringLiteral("text"), QStringLiteral("v"), file),
        0);
    EXPECT_EQ(
        mfncWriteIni(QStringLiteral("Html"), QStringLiteral("a=b"), QStringLiteral("v"), file), 0);
    EXPECT_EQ(testenv::readFile(file), before);
    EXPECT_EQ(read(file, "Update", "start"), QString());

    // No folder to write into: the write fails and nothing appears.
    EXPECT_EQ(mfncWriteIni(QStringLiteral("Main"), QStringLiteral("k"), QStringLiteral("v"),
                           folder + QStringLiteral("/missing/dir/x.ini")),
              0);
    // A read-only folder keeps the old file whole (the write goes through a temporary file).
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    if (!QFileInfo(folder).isWritable()) { // root may write anyway
        EXPECT_EQ(mfncWriteIni(QStringLiteral("Html"), QStringLiteral("text"),
                               QStringLiteral("new"), file),
                  0);
        EXPECT_EQ(testenv::readFile(file), before);
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(IniFile, GarbageNeverCrashesAndStillReadsWhatItCan) {
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 37 + 11) % 256);
    const QByteArray hugeLine(1024 * 1024, 'x');
    QByteArray content =
        garbage + "\n[Main]\nlanguage=\xFF\xFF\n" + hugeLine + "\n[Preview]\nsize=";
    content += '\0';
    content += " 14\ntext=after nul\n";
    const QString file = iniWith(content);
    // Bytes that do not decode come back replaced; a NUL does not end the file.
    EXPECT_EQ(read(file, "Main", "language"), QStringLiteral("\uFFFD\uFFFD"));
    EXPECT_EQ(read(file, "Preview", "text"), QStringLiteral("after nul"));
    ASSERT_TRUE(mfncWriteIni(QStringLiteral("Main"), QStringLiteral("language"),
                             QStringLiteral("c"), file));
    EXPECT_EQ(read(file, "Main", "language"), QStringLiteral("c"));
    const QByteArray after = testenv::readFile(file);
    EXPECT_TRUE(after.startsWith(garbage));
    EXPECT_TRUE(after.contains(hugeLine));
    EXPECT_EQ(after.size(), content.size() - 2 + 1);
}

TEST(IniFile, OnlyRegularFilesWithinTheBoundAreReadAndNothingElseIsWrittenOver) {
    const QString folder = testenv::newFolder(QStringLiteral("hostile"));
    const auto at = [&](const char* name) { return folder + QLatin1Char('/') + name; };
    ASSERT_EQ(mkfifo(QFile::encodeName(at("fifo.ini")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), at("zero.ini")));
    ASSERT_TRUE(QFile::link(at("nowhere.ini"), at("dangling.ini")));
    QDir().mkpath(at("folder.ini"));
    // One byte over the bound, made sparse so it costs nothing.
    testenv::writeFile(at("huge.ini"), "[Main]\r\nlanguage=c\r\n");
    QFile huge(at("huge.ini"));
    ASSERT_TRUE(huge.resize(settingsfile::maxBytes + 1));
    huge.close();

    for (const char* name : {"fifo.ini", "zero.ini", "dangling.ini", "folder.ini", "huge.ini"}) {
        SCOPED_TRACE(name);
        const QString file = at(name);
        const QFileInfo before(file);
        // Read at once, without waiting for a writer or reading without end, as nothing.
        EXPECT_EQ(read(file, "Main", "language"), QString());
        EXPECT_EQ(mfncWriteIni(QStringLiteral("Main"), QStringLiteral("language"),
                               QStringLiteral("e"), file),
                  0);
        EXPECT_EQ(settingsfile::mayWrite(file), false);
        const QFileInfo after(file);
        EXPECT_EQ(after.isSymLink(), before.isSymLink());
        EXPECT_EQ(after.isDir(), before.isDir());
        EXPECT_EQ(after.size(), before.size());
    }
    struct stat info;
    ASSERT_EQ(stat(QFile::encodeName(at("fifo.ini")).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_FALSE(QFileInfo::exists(at("nowhere.ini")));

    // A file exactly at the bound is read; a link to a regular file is read through.
    testenv::writeFile(at("full.ini"), "[Main]\r\nlanguage=c\r\n;");
    QFile full(at("full.ini"));
    ASSERT_TRUE(full.resize(settingsfile::maxBytes));
    full.close();
    EXPECT_EQ(read(at("full.ini"), "Main", "language"), QStringLiteral("c"));
    ASSERT_TRUE(QFile::link(at("full.ini"), at("linked.ini")));
    EXPECT_EQ(read(at("linked.ini"), "Main", "language"), QStringLiteral("c"));
    // A missing file is still made by the first write.
    EXPECT_EQ(mfncWriteIni(QStringLiteral("Main"), QStringLiteral("language"), QStringLiteral("e"),
                           at("new.ini")),
              1);
    EXPECT_EQ(read(at("new.ini"), "Main", "language"), QStringLiteral("e"));
}

TEST(IniFile, OneParseServesUntilTheFileChangesInAnyWay) {
    // Files changed within the last moments are parsed afresh on every read; these are left
    // to settle first, so that their reads come from the parse kept.
    const QString inPlace = iniWith("[Main]\r\nlanguage=a\r\n");
    const QString replaced = iniWith("[Main]\r\nlanguage=b\r\n");
    const QString replacement = iniWith("[Main]\r\nlanguage=B\r\n");
    const QString ownWrite = iniWith("[Main]\r\nlanguage=c\r\n");
    QTest::qSleep(200);
    for (const QString& file : {inPlace, replaced, ownWrite})
        EXPECT_EQ(read(file, "Main", "language").size(), 1);

    // Same size, written in place, its time set back to what it was: only the change time
    // tells, and it is enough.
    const QByteArray name = QFile::encodeName(inPlace);
    struct stat before;
    ASSERT_EQ(stat(name.constData(), &before), 0);
    QFile f(inPlace);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.write("[Main]\r\nlanguage=A\r\n");
    f.close();
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, name.constData(), times, 0), 0);
    EXPECT_EQ(read(inPlace, "main", "LANGUAGE"), QStringLiteral("A"));
    // Replaced by another file of the same size.
    ASSERT_TRUE(QFile::remove(replaced));
    ASSERT_TRUE(QFile::rename(replacement, replaced));
    EXPECT_EQ(read(replaced, "Main", "language"), QStringLiteral("B"));
    // Our own write.
    ASSERT_TRUE(mfncWriteIni(QStringLiteral("Main"), QStringLiteral("language"),
                             QStringLiteral("C"), ownWrite));
    EXPECT_EQ(read(ownWrite, "Main", "language"), QStringLiteral("C"));
    // Gone, then back.
    QFile::remove(ownWrite);
    EXPECT_EQ(read(ownWrite, "Main", "language"), QString());
    testenv::writeFile(ownWrite, "[Main]\r\nlanguage=D\r\n");
    EXPECT_EQ(read(ownWrite, "Main", "language"), QStringLiteral("D"));
}

TEST(NumberForm, WritesWithALeadingBlankAndReadsTheLeadingNumber) {
    EXPECT_EQ(numberform::text(12), QStringLiteral(" 12"));
    EXPECT_EQ(numberform::text(0), QStringLiteral(" 0"));
    EXPECT_EQ(numberform::text(-2147483630LL), QStringLiteral("-2147483630"));

    EXPECT_EQ(numberform::int16(QStringLiteral(" 12")), 12);
    EXPECT_EQ(numberform::int16(QStringLiteral("120abc")), 120);
    EXPECT_EQ(numberform::int16(QStringLiteral("abc")), 0);
    EXPECT_EQ(numberform::int16(QString()), 0);
    EXPECT_EQ(numberform::int16(QStringLiteral(" - 5")), -5);
    EXPECT_EQ(numberform::int16(QStringLiteral("1 2")), 12);
    // Round half to even.
    EXPECT_EQ(numberform::int16(QStringLiteral("2.5")), 2);
    EXPECT_EQ(numberform::int16(QStringLiteral("3.5")), 4);
    EXPECT_EQ(numberform::int16(QStringLiteral("-0.5")), 0);
    EXPECT_EQ(numberform::int16(QStringLiteral("7.5")), 8);
    // Out of range is clamped, never a failure.
    EXPECT_EQ(numberform::int16(QStringLiteral("40000")), 32767);
    EXPECT_EQ(numberform::int16(QStringLiteral("-99999999999999999999")), -32768);
    EXPECT_EQ(numberform::int32(QStringLiteral("-2147483630")), -2147483630);
    EXPECT_EQ(numberform::int32(QStringLiteral("1e400")), 1); // "e" ends the number
}
