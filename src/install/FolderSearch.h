#pragma once

#include "install/WildcardPattern.h"

#include <QByteArray>
#include <QString>
#include <chrono>
#include <functional>
#include <vector>

// The font file search without its window: walks a folder tree depth first and pre-order and
// reports every entry whose name matches a pattern.
//
// In each folder the subfolders are collected first (in the order the file system lists them,
// leaving out every name that begins with "."), then the folder's own matches are reported
// (files and folders alike, as the folder's path followed by the name), then the subfolders
// are walked in the order collected. Symbolic links are never followed into (a link loop would
// never end), and a folder that cannot be read contributes nothing.
//
// The walk asks keepGoing() at the start of every folder and before every match and ends as
// soon as it says no. It calls pump() at the start of the walk and afterwards whenever
// pumpInterval has passed, also while a large folder is read, so that the window handles its
// events (a Stop click among them) in between; an interval of zero pumps before every folder
// and every match.
class FolderSearch final {
public:
    using Clock = std::chrono::steady_clock;

    std::function<void(const QString& path)> found;
    std::function<void()> pump;
    std::function<bool()> keepGoing;
    std::chrono::milliseconds pumpInterval{25};

    // folder is searched as given: a path ending in "/" yields paths such as "/a/b/x.ttf".
    void run(const QString& folder, const QString& pattern);

    // For measurements: folders read and the longest stretch without a pump in the last run.
    long foldersRead() const { return foldersRead_; }
    Clock::duration longestWithoutPump() const { return longestGap_; }

private:
    struct Listing {
        std::vector<QByteArray> subfolders;
        std::vector<QByteArray> matches;
    };
    // False when the walk must end.
    bool visit(const QByteArray& folder, bool followLink, std::vector<QByteArray>& subfolders);
    void readFolder(const QByteArray& folder, bool followLink, Listing& listing);
    void pumpIfDue();
    void pumpNow();
    bool goOn() const { return !keepGoing || keepGoing(); }

    WildcardPattern pattern_;
    Clock::time_point lastPump_;
    Clock::duration longestGap_{};
    long foldersRead_ = 0;
};
