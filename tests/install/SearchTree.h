#pragma once

#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QStringList>

// A small folder tree to search, and an independent walk of it in the order the file system
// lists entries (Qt's unsorted listing), for the expected results.
struct SearchTree {
    QString root; // without a trailing "/"

    SearchTree() : root(testenv::newFolder(QStringLiteral("tree"))) {
        for (const char* file :
             {"a.ttf", "B.TTF", "notes.txt", "a.ttf.bak", ".dot.ttf", "sub1/c.ttf", "sub1/readme",
              "sub1/deep/d.ttf", "sub1/deep/deeper/e.TtF", ".hidden/hidden.ttf", "x.ttf/inside.ttf",
              "sub2/f.ttc", "sub2/g.ttf"})
            add(QString::fromLatin1(file));
        QDir().mkpath(root + QStringLiteral("/empty"));
        // Links: a loop back to the top, and a link to a folder whose name matches.
        QFile::link(root, root + QStringLiteral("/sub2/loop"));
        QFile::link(root + QStringLiteral("/sub1"), root + QStringLiteral("/linked.ttf"));
    }

    QString add(const QString& relative) {
        return testenv::writeFile(root + QLatin1Char('/') + relative, "x");
    }

    // Pre-order, a folder's own matches first, subfolders not beginning with "." in listing
    // order, links never entered.
    QStringList expected(const QString& suffix, const QString& folder = {}) const {
        const QString path = folder.isEmpty() ? root + QLatin1Char('/') : folder;
        QDir dir(path);
        const QStringList names = dir.entryList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
        QStringList result;
        QStringList subfolders;
        for (const QString& name : names) {
            const QFileInfo info(path + name);
            if (name.endsWith(suffix, Qt::CaseInsensitive))
                result << path + name;
            if (info.isDir() && !info.isSymLink() && !name.startsWith(QLatin1Char('.')))
                subfolders << name;
        }
        for (const QString& name : subfolders)
            result << expected(suffix, path + name + QLatin1Char('/'));
        return result;
    }
};
