#pragma once

#include "FakePlatform.h"
#include "TestEnvironment.h"
#include "app/controls/FontListView.h"
#include "app/frmfont.h"
#include "app/settings/IniFile.h"

#include <memory>

// A main window in a program folder of its own, with fake desktop seams and the program's
// end recorded instead of carried out.
struct MainWindowHarness {
    explicit MainWindowHarness(bool withConfig = true)
        : folder(testenv::newProgramFolder(withConfig)) {}

    frmfont& make() {
        Platform platform{dialogs ? *dialogs : static_cast<Dialogs&>(p.dialogs),
                          p.shell,
                          p.fonts(),
                          p.network,
                          p.screen,
                          hotKey ? *hotKey : static_cast<HotKey&>(p.hotKey)};
        window = std::make_unique<frmfont>(platform, folder);
        window->endProgram = [this] { ++ends; };
        window->anotherInstanceRunning = [] { return false; };
        return *window;
    }
    // Start-up as the program does it, then the list filled by its timer.
    frmfont& start() {
        make();
        window->Form_Load();
        window->Timerload_Timer();
        return *window;
    }
    void set(const char* section, const char* key, const QString& value) {
        mfncWriteIni(QString::fromUtf8(section), QString::fromUtf8(key), value, config());
    }
    QString get(const char* section, const char* key) const {
        return mfncGetFromIni(QString::fromUtf8(section), QString::fromUtf8(key), config());
    }
    QString config() const { return folder + QStringLiteral("/config.ini"); }

    FakePlatform p;
    // Real dialogs instead of the fakes when set (before make()).
    Dialogs* dialogs = nullptr;
    // A real hot key instead of the fake when set (before make()).
    HotKey* hotKey = nullptr;
    QString folder;
    std::unique_ptr<frmfont> window;
    int ends = 0;
};
