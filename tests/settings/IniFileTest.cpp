#include "app/settings/IniFile.h"
#include "TestEnvironment.h"
#include "app/settings/CodePage.h"
#include "app/settings/NumberForm.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

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
