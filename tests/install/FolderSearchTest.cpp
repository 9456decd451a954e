#include "install/FolderSearch.h"
#include "SearchTree.h"
#include "install/WildcardPattern.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

QStringList searchAll(const QString& folder, const QString& pattern,
                      std::function<void(const QString&)> alsoOnMatch = {}) {
    QStringList found;
    FolderSearch search;
    search.found = [&](const QString& path) {
        found << path;
        if (alsoOnMatch)
            alsoOnMatch(path);
    };
    search.run(folder, pattern);
    return found;
}

} // namespace

TEST(Wildcard, MatchesStarsAndQuestionMarksWithoutRegardToCase) {
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    };
    const Case cases[] = {
        {"*.ttf", "a.ttf", true},
        {"*.ttf", "A.TTF", true},
        {"*.TTF", "a.ttf", true},
        {"*.ttf", "a.ttf.bak", false},
        {"*.ttf", "ttf", false},
        {"*.ttf", ".ttf", true},
        {"?.ttf", "a.ttf", true},
        {"?.ttf", "ab.ttf", false},
        {"?.ttf", ".ttf", false},
        {"a*b*c", "aXXbYYbZc", true},
        {"a*b*c", "aXXbYYcZ", false},
        {"*", "", true},
        {"", "", true},
        {"", "a", false},
        {"**x", "abx", true},
        {"f?nt*.t?f", "FONT-1.TTF", true},
        {"*.ttf", "字体.TTF", true},
        {"?.ttf", "字.ttf", true},
        {"ä*.OTF", "ÄBC.otf", true},
        {"*.ttc", "字体.ttf", false},
        {"字*", "字体.ttf", true},
        {"*ttf", "some.TTF", true},
    };
    for (const Case& c : cases) {
        const WildcardPattern pattern(QString::fromUtf8(c.pattern));
        const QByteArray name(c.name);
        EXPECT_EQ(pattern.matches(name.constData(), name.size()), c.match)
            << c.pattern << " / " << c.name << " (bytes)";
        EXPECT_EQ(pattern.matches(QString::fromUtf8(c.name)), c.match)
            << c.pattern << " / " << c.name << " (text)";
    }
}

TEST(FolderSearch, ListsMatchesPreOrderWithEachFoldersOwnMatchesFirst) {
    SearchTree tree;
    const QString top = tree.root + QLatin1Char('/');
    const QStringList found = searchAll(top, QStringLiteral("*.ttf"));
    EXPECT_EQ(found, tree.expected(QStringLiteral(".ttf")));

    // What the order means, independent of how the file system lists names.
    auto at = [&](const char* relative) {
        return found.indexOf(top + QString::fromLatin1(relative));
    };
    for (const char* listed :
         {"a.ttf", "B.TTF", ".dot.ttf", "x.ttf", "x.ttf/inside.ttf", "linked.ttf", "sub1/c.ttf",
          "sub1/deep/d.ttf", "sub1/deep/deeper/e.TtF", "sub2/g.ttf"})
        EXPECT_GE(at(listed), 0) << listed;
    // A dot-folder is not entered; names that merely contain the pattern are not listed.
    EXPECT_LT(at(".hidden/hidden.ttf"), 0);
    EXPECT_LT(at("a.ttf.bak"), 0);
    EXPECT_LT(at("sub2/f.ttc"), 0);
    EXPECT_EQ(found.size(), 10);
    // The top folder's own matches come before anything below it; a folder's matches come
    // before those of its subfolders.
    for (const char* own : {"a.ttf", "B.TTF", ".dot.ttf", "x.ttf", "linked.ttf"})
        for (const char* below : {"sub1/c.ttf", "x.ttf/inside.ttf", "sub2/g.ttf"})
            EXPECT_LT(at(own), at(below)) << own << " before " << below;
    EXPECT_LT(at("sub1/c.ttf"), at("sub1/deep/d.ttf"));
    EXPECT_LT(at("sub1/deep/d.ttf"), at("sub1/deep/deeper/e.TtF"));
    // Depth first: everything under sub1 is contiguous.
    const int first = at("sub1/c.ttf");
    EXPECT_EQ(at("sub1/deep/d.ttf"), first + 1);
    EXPECT_EQ(at("sub1/deep/deeper/e.TtF"), first + 2);
}

TEST(FolderSearch, NeverEntersLinksAndSkipsFoldersItCannotRead) {
    SearchTree tree;
    const QString top = tree.root + QLatin1Char('/');
    // The loop link (sub2/loop -> top) and the link to sub1 are not entered: every file is
    // found exactly once.
    const QStringList found = searchAll(top, QStringLiteral("*"));
    QStringList sorted = found;
    sorted.removeDuplicates();
    EXPECT_EQ(sorted.size(), found.size());
    EXPECT_TRUE(found.contains(top + QStringLiteral("sub2/loop")));
    EXPECT_FALSE(found.contains(top + QStringLiteral("sub2/loop/a.ttf")));
    EXPECT_FALSE(found.contains(top + QStringLiteral("linked.ttf/c.ttf")));

    // A folder that vanishes before its turn contributes nothing; the search goes on.
    bool removed = false;
    const QStringList afterRemoval = searchAll(top, QStringLiteral("*.ttf"), [&](const QString&) {
        if (!removed)
            removed = QDir(top + QStringLiteral("sub1")).removeRecursively();
    });
    ASSERT_TRUE(removed);
    EXPECT_FALSE(afterRemoval.contains(top + QStringLiteral("sub1/c.ttf")));
    EXPECT_TRUE(afterRemoval.contains(top + QStringLiteral("sub2/g.ttf")));
    EXPECT_TRUE(afterRemoval.contains(top + QStringLiteral("x.ttf/inside.ttf")));

    // A folder without read permission (only meaningful for a user without override rights).
    if (geteuid() != 0) {
        tree.add(QStringLiteral("locked/l.ttf"));
        QFile::setPermissions(top + QStringLiteral("locked"), QFileDevice::Permissions());
        const QStringList withLocked = searchAll(top, QStringLiteral("*.ttf"));
        QFile::setPermissions(top + QStringLiteral("locked"), QFileDevice::ReadOwner |
                                                                  QFileDevice::WriteOwner |
                                                                  QFileDevice::ExeOwner);
        EXPECT_FALSE(withLocked.contains(top + QStringLiteral("locked/l.ttf")));
        EXPECT_TRUE(withLocked.contains(top + QStringLiteral("sub2/g.ttf")));
    }

    // A start folder that does not exist finds nothing.
    EXPECT_TRUE(searchAll(top + QStringLiteral("missing/"), QStringLiteral("*")).isEmpty());
}

TEST(FolderSearch, StopsAtTheNextMatchOrFolderAndPumpsInBetween) {
    SearchTree tree;
    const QString top = tree.root + QLatin1Char('/');
    const QStringList all = tree.expected(QStringLiteral(".ttf"));

    // With no interval, events are handled before every folder and every match, and a stop
    // asked for there takes effect before the next match.
    FolderSearch search;
    search.pumpInterval = std::chrono::milliseconds(0);
    bool going = true;
    QStringList found;
    int pumps = 0;
    search.keepGoing = [&] { return going; };
    search.found = [&](const QString& path) { found << path; };
    search.pump = [&] {
        ++pumps;
        if (found.size() == 3)
            going = false;
    };
    search.run(top, QStringLiteral("*.ttf"));
    EXPECT_EQ(found, all.mid(0, 3));
    EXPECT_GE(pumps, 4);

    // A stop before the walk starts finds nothing.
    going = false;
    found.clear();
    search.run(top, QStringLiteral("*.ttf"));
    EXPECT_TRUE(found.isEmpty());

    // With an interval, the walk still pumps once at its start.
    FolderSearch quiet;
    quiet.pumpInterval = std::chrono::hours(1);
    int quietPumps = 0;
    quiet.pump = [&] { ++quietPumps; };
    quiet.run(top, QStringLiteral("*.ttf"));
    EXPECT_EQ(quietPumps, 1);
    EXPECT_GE(quiet.foldersRead(), 7);
}
