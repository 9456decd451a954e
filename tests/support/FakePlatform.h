#pragma once

#include "FakeDialogs.h"
#include "platform/DesktopShell.h"
#include "platform/FontconfigFontSystem.h"
#include "platform/HotKey.h"
#include "platform/Network.h"
#include "platform/Platform.h"
#include "platform/Screen.h"
#include "platform/Shell.h"

#include <functional>

// Records what would have gone to the desktop; answers as scripted.
class FakeShell final : public Shell {
public:
    QStringList openedAddresses; // handed to the desktop (web and mail addresses only)
    QStringList refusedAddresses;
    QStringList openedFolders;
    QStringList openedFiles;
    QStringList startedCommands;
    struct Started {
        QString program;
        QStringList arguments;
        QString workingFolder;
    };
    QList<Started> startedPrograms;
    bool startSucceeds = true;
    // When set, commands and programs are really started (detached) as well as recorded.
    bool reallyStart = false;

    bool openAddress(const QString& address) override;
    bool openFolder(const QString& path) override;
    bool openFile(const QString& path) override;
    bool startCommand(const QString& commandLine) override;
    bool startProgram(const QString& program, const QStringList& arguments,
                      const QString& workingFolder) override;

private:
    DesktopShell real_;
};

// A font table with a scripted list of families; files and installs are not modelled.
class FakeFontSystem final : public FontSystem {
public:
    QStringList familyList;
    QString fontsFolder = QStringLiteral("/tmp/fake-fonts");
    int rescans = 0;
    QStringList drawn; // every family made drawable, in order
    // What each family covers, as scripted: its characters and its language codes, among
    // languageCodes. Read when first asked and kept until rescan(), as the real table does.
    struct Covers {
        QString characters;
        QStringList languages;
    };
    QHash<QString, Covers> covers;
    QStringList languageCodes{QStringLiteral("en"), QStringLiteral("hi"), QStringLiteral("zh-cn")};
    int coverageReads = 0;
    std::shared_ptr<const FontCoverage> coverage() override;
    QStringList families() override { return familyList; }
    void prepareToDraw(const QString& family) override { drawn.append(family); }
    QStringList familyFiles(const QString&) override { return {}; }
    void rescan() override {
        ++rescans;
        coverage_.reset();
    }
    Result installFile(const QString&) override { return Result::Failed; }
    QStringList familiesRemovedWith(const QString& family) override { return {family}; }
    Result removeFamily(const QString&) override { return Result::Refused; }
    QString userFontsFolder() override { return fontsFolder; }

private:
    std::shared_ptr<const FontCoverage> coverage_;
};

class FakeNetwork final : public Network {
public:
    QStringList entries;
    QStringList active;
    Online state = Online::Unknown;
    QStringList connected;
    bool connectSucceeds = true;
    QStringList phoneBook() override { return entries; }
    QStringList activeConnections() override { return active; }
    Online online() override { return state; }
    bool connectTo(const QString& name) override {
        connected.append(name);
        return connectSucceeds;
    }
};

class FakeScreen final : public Screen {
public:
    QPoint position;
    // The whole "screen"; grabs are cut from it. A null image means grabbing is impossible.
    QImage image;
    QList<QRect> grabs;
    QPoint pointer() override { return position; }
    std::optional<QImage> grab(const QRect& rect) override;
};

// A hot key whose reach the test chooses; press() is the key pressed anywhere on the desktop.
class FakeHotKey final : public HotKey {
public:
    Reach answer = Reach::Desktop;
    QStringList descriptions; // what start() was given, once per call
    void start(const QString& description) override;
    void press() { emit pressed(); }
};

// Fakes for every seam; the font table is the real fontconfig of the isolated environment
// unless useFakeFonts() is called.
class FakePlatform final {
public:
    FakeDialogs dialogs;
    FakeShell shell;
    FontconfigFontSystem realFonts;
    FakeFontSystem fakeFonts;
    FakeNetwork network;
    FakeScreen screen;
    FakeHotKey hotKey;

    void useFakeFonts(const QStringList& families) {
        fakeFonts.familyList = families;
        fake_ = true;
    }
    FontSystem& fonts() { return fake_ ? static_cast<FontSystem&>(fakeFonts) : realFonts; }
    Platform platform() { return Platform{dialogs, shell, fonts(), network, screen, hotKey}; }

private:
    bool fake_ = false;
};
