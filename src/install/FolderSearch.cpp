#include "install/FolderSearch.h"

#include <QFile>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// How many entries of one folder are read between two looks at the clock.
constexpr int entriesBetweenClockChecks = 32;
} // namespace

void FolderSearch::run(const QString& folder, const QString& pattern) {
    pattern_ = WildcardPattern(pattern);
    foldersRead_ = 0;
    longestGap_ = {};
    lastPump_ = Clock::now();
    pumpNow();

    // One level per folder being walked: its path and the subfolders still to visit, so that
    // a deep tree needs no deep call stack.
    struct Level {
        QByteArray folder;
        std::vector<QByteArray> subfolders;
        std::size_t next = 0;
    };
    std::vector<Level> levels;
    Level top{QFile::encodeName(folder), {}, 0};
    // The chosen folder itself may be reached through a link; below it no link is followed.
    if (!visit(top.folder, true, top.subfolders))
        return;
    levels.push_back(std::move(top));
    while (!levels.empty()) {
        Level& level = levels.back();
        if (level.next == level.subfolders.size()) {
            levels.pop_back();
            continue;
        }
        Level child;
        child.folder = level.folder + level.subfolders[level.next++] + '/';
        if (!visit(child.folder, false, child.subfolders))
            return;
        levels.push_back(std::move(child));
    }
}

bool FolderSearch::visit(const QByteArray& folder, bool followLink,
                         std::vector<QByteArray>& subfolders) {
    pumpIfDue();
    if (!goOn())
        return false;
    Listing listing;
    readFolder(folder, followLink, listing);
    if (!listing.matches.empty()) {
        const QString prefix = QFile::decodeName(folder);
        for (const QByteArray& name : listing.matches) {
            pumpIfDue();
            if (!goOn())
                return false;
            if (found)
                found(prefix + QFile::decodeName(name));
        }
    }
    subfolders = std::move(listing.subfolders);
    return true;
}

void FolderSearch::readFolder(const QByteArray& folder, bool followLink, Listing& listing) {
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW);
    const int fd = ::open(folder.constData(), flags);
    if (fd < 0)
        return;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    ++foldersRead_;
    int sinceClockCheck = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (++sinceClockCheck == entriesBetweenClockChecks) {
            sinceClockCheck = 0;
            pumpIfDue();
        }
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        const qsizetype length = static_cast<qsizetype>(std::strlen(name));
        if (name[0] != '.') {
            // The entry's type says whether it is a folder; only a file system that does not
            // tell needs a look at the entry itself (never through a link).
            bool isFolder = entry->d_type == DT_DIR;
            if (entry->d_type == DT_UNKNOWN) {
                struct stat info;
                isFolder = ::fstatat(::dirfd(dir), name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                           S_ISDIR(info.st_mode);
            }
            if (isFolder)
                listing.subfolders.emplace_back(name, length);
        }
        if (pattern_.matches(name, length))
            listing.matches.emplace_back(name, length);
    }
    ::closedir(dir);
}

void FolderSearch::pumpIfDue() {
    if (Clock::now() - lastPump_ >= pumpInterval)
        pumpNow();
}

void FolderSearch::pumpNow() {
    const Clock::time_point now = Clock::now();
    if (now - lastPump_ > longestGap_)
        longestGap_ = now - lastPump_;
    if (pump)
        pump();
    lastPump_ = Clock::now();
}
