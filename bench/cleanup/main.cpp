// Keeping the list clean against the real fontconfig: from "查找重复字体..." to the duplicates
// window shown and filled, and from the Yes to "停用选中的字体" to the list drawn without the
// family. Run by run.sh with 10,000 generated families, 100 of them installed twice.
#include "../common/BenchSetup.h"
#include "../common/InstantDialogs.h"
#include "app/InterfaceFonts.h"
#include "app/controls/FontListView.h"
#include "app/frmfont.h"
#include "install/DuplicateFontsWindow.h"
#include "platform/DesktopPlatform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>

int main(int argc, char** argv) {
    FontconfigFontSystem::showToolkitOnlyInterfaceFaces();
    QApplication app(argc, argv);
    applyInterfaceFonts();
    QTemporaryDir dir;
    InstantDialogs dialogs;
    DesktopPlatform desktop;
    frmfont w(bench::withDialogs(desktop.platform(), dialogs), bench::programFolder(dir));
    w.endProgram = [] {};
    w.Form_Load();
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return 1;
    w.Timerload_Timer();
    w.Command1_Click();
    QApplication::processEvents();

    std::vector<double> duplicates;
    qsizetype groups = 0;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        w.findDuplicates_Click();
        auto* window = w.findChild<DuplicateFontsWindow*>();
        for (DuplicateFontsWindow* each : w.findChildren<DuplicateFontsWindow*>())
            if (each->isVisible())
                window = each;
        if (!window || !QTest::qWaitForWindowExposed(window))
            return 1;
        window->duplicateTree->repaint();
        duplicates.push_back(t.nsecsElapsed() / 1e6);
        groups = window->groups().size();
        window->back_Click();
        QApplication::processEvents();
    }

    std::vector<double> disables;
    dialogs.yesNo = Dialogs::Answer::Yes;
    for (int i = 0; i < 5; ++i) {
        // A generated family: the interface's own faces cannot be disabled.
        const int row =
            w.List1->row(QStringLiteral("VLBench %1").arg(i * 1999 + 7, 5, 10, QLatin1Char('0')));
        if (row < 0)
            return 1;
        w.List1->setCurrentRow(row);
        w.List1_Click();
        const QString chosen = w.selectedFont();
        const int before = w.List1->count();
        QElapsedTimer t;
        t.start();
        w.disableFont_Click();
        w.List1->repaint();
        disables.push_back(t.nsecsElapsed() / 1e6);
        if (w.List1->count() != before - 1 || w.List1->row(chosen) >= 0) {
            std::fprintf(stderr, "%s is still listed\n", qPrintable(chosen));
            return 1;
        }
        desktop.platform().fonts.enableFamily(chosen);
        w.ref_Click();
    }
    std::printf("families %d: duplicates window shown and filled (%lld groups) median %.1f ms; "
                "disabling one family until the list is drawn without it median %.1f ms\n",
                int(w.List1->count()), static_cast<long long>(groups), bench::median(duplicates),
                bench::median(disables));
    return 0;
}
