#pragma once

#include "app/settings/IniFile.h"
#include "i18n/Language.h"
#include "mainview/MainView.h"

#include "app/controls/FontListView.h"
#include <QColor>
#include <QPointer>
#include <QWidget>
#include <utility>
#include <vector>

// What a subsystem window sees of the main window, without one: a plain widget as parent, a
// font list of its own, config.ini in a program folder, and every request to the main window
// recorded.
class FakeMainView final : public MainView {
public:
    FakeMainView(Platform platform, QString programFolder)
        : platform_(platform), folder_(std::move(programFolder)) {}

    QWidget window; // stands in for the main window
    FontListView list;
    QString languageFlag = QStringLiteral("c");
    QString fonts;
    QColor colour = Qt::black;
    bool magnifier = false;
    bool online = false;
    int hides = 0;
    int shows = 0;
    int activations = 0;
    int ends = 0;
    QStringList installPaths;  // each openSetupfonWithPath
    QStringList searchFolders; // each openSearchAt
    QStringList familiesShown; // each showFamilyInList

    // The main window's language switch, as the magnifier sees it.
    void switchLanguage(const QString& flag) {
        languageFlag = flag;
        if (magnifier)
            for (auto& [receiver, relabel] : relabels_)
                if (receiver)
                    relabel(lang::chineseByC(flag));
    }

    QWidget* mainWidget() override { return &window; }
    Platform& platform() override { return platform_; }
    QString language() const override { return languageFlag; }
    void onMagnifierCaptionsChanged(QObject* receiver,
                                    std::function<void(bool chinese)> relabel) override {
        relabels_.emplace_back(receiver, std::move(relabel));
    }
    FontListView* fontList() override { return &list; }
    QString selectedFont() const override { return list.text(list.currentRow()); }
    QString selectedFontName() const override { return selectedFont(); }
    QColor previewColor() const override { return colour; }
    const QString& programFolder() const override { return folder_; }
    const QString& settingsFolder() const override { return folder_; }
    QString configPath() const override { return folder_ + QStringLiteral("/config.ini"); }
    QString configValue(const QString& section, const QString& key) const override {
        return mfncGetFromIni(section, key, configPath());
    }
    void writeConfig(const QString& section, const QString& key,
                     const QString& value) const override {
        mfncWriteIni(section, key, value, configPath());
    }
    QString fontsFolder() const override { return fonts; }
    void hideMain() override { ++hides; }
    void showMain() override { ++shows; }
    void activateMain() override { ++activations; }
    void openSetupfonWithPath(const QString& path) override { installPaths << path; }
    void openSearchAt(const QString& folder) override { searchFolders << folder; }
    void showFamilyInList(const QString& family) override { familiesShown << family; }
    bool magnifierOpen() const override { return magnifier; }
    void setMagnifierOpen(bool open) override { magnifier = open; }
    bool onLine() const override { return online; }
    void setOnLine(bool on) override { online = on; }
    void endAtOnce() override { ++ends; }

private:
    Platform platform_;
    QString folder_;
    std::vector<std::pair<QPointer<QObject>, std::function<void(bool)>>> relabels_;
};
