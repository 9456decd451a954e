// Finding fonts for a text against the real fontconfig with the coverage fixture: the window's
// first opening (mode "open": one per process, with the memory the program grew by), then the
// results after the last keystroke of a text of 1, 10 and 100 characters and after a choice of
// language (medians).
#include "../common/BenchSetup.h"
#include "app/InterfaceFonts.h"
#include "app/controls/FontListView.h"
#include "app/frmfont.h"
#include "catalogue/FontsForText.h"
#include "platform/DesktopPlatform.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// A figure of /proc/self/status in megabytes: "VmRSS", "VmHWM".
double statusMegabytes(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(line.indexOf(':') + 1).trimmed().split(' ').first().toDouble() / 1024;
    return 0;
}

// The time from the last keystroke of text to the list and count repainted: the text but its
// last character is in the field before the clock starts.
double lastKeystroke(FontsForText& finder, const QString& text) {
    finder.textField->setText(text.chopped(1));
    QApplication::processEvents();
    QElapsedTimer t;
    t.start();
    // A letter from the keyboard; anything else as an input method commits it.
    if (text.back().unicode() < 128) {
        QTest::keyClick(finder.textField, text.back().toLatin1());
    } else {
        QInputMethodEvent commit;
        commit.setCommitString(text.right(1));
        QApplication::sendEvent(finder.textField, &commit);
    }
    finder.matchesList->repaint();
    finder.countLabel->repaint();
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    const bool openMode = argc > 1 && QByteArray(argv[1]) == "open";
    FontconfigFontSystem::showToolkitOnlyInterfaceFaces();
    QApplication app(argc, argv);
    applyInterfaceFonts();
    QTemporaryDir dir;
    DesktopPlatform desktop;
    frmfont w(desktop.platform(), bench::programFolder(dir));
    w.endProgram = [] {};
    w.Form_Load();
    w.Timerload_Timer();
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return 1;
    w.Command1_Click();
    QApplication::processEvents();

    // The peak from here on, not the start's: writing 5 resets it to the resident size.
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
    clearRefs.close();
    const double rssBefore = statusMegabytes("VmRSS");
    const double peakBefore = statusMegabytes("VmHWM");
    QElapsedTimer t;
    t.start();
    w.findFontsForText->trigger();
    auto* finder = w.findChild<FontsForText*>();
    if (!finder || !QTest::qWaitForWindowExposed(finder))
        return 1;
    finder->repaint();
    const double opened = t.nsecsElapsed() / 1e6;
    if (openMode) {
        std::printf("%.1f %.1f %.1f %d\n", opened, statusMegabytes("VmRSS") - rssBefore,
                    statusMegabytes("VmHWM") - peakBefore, finder->matchesList->count());
        return 0;
    }

    // Texts that a part of the families can write: Latin letters (all of them: the Devanagari
    // ones have ASCII too), accented Latin (three in four), Chinese (one in four), and one
    // family's own Hangul syllable.
    QString chinese100;
    for (int i = 0; i < 100; ++i)
        chinese100 += QChar(char16_t(0x4E00 + i * 173));
    QString latin100;
    for (int i = 0; i < 100; ++i)
        latin100 += QChar(char16_t(u'a' + (i * 7) % 26));
    struct Case {
        const char* name;
        QString text;
    };
    const Case cases[] = {
        {"1 character (Latin)", QStringLiteral("A")},
        {"1 character (accented Latin)", QStringLiteral("é")},
        {"1 character (one family's own)", QString(QChar(char16_t(0xAC00 + 4321)))},
        {"10 characters (Chinese)", chinese100.left(10)},
        {"100 characters (Latin)", latin100},
        {"100 characters (Chinese)", chinese100},
    };
    std::printf("%d families\n", w.List1->count());
    for (const Case& c : cases) {
        std::vector<double> times;
        int matches = 0;
        for (int i = 0; i < 15; ++i) {
            times.push_back(lastKeystroke(*finder, c.text));
            matches = finder->matchesList->count();
        }
        std::printf("  %-32s %6.1f ms  (%d match)\n", c.name, bench::median(times), matches);
    }
    finder->textField->clear();
    for (const char* code : {"zh-cn", "hi", "en"}) {
        std::vector<double> times;
        for (int i = 0; i < 15; ++i) {
            finder->languageBox->setCurrentIndex(0);
            QApplication::processEvents();
            QElapsedTimer l;
            l.start();
            finder->languageBox->setCurrentIndex(
                finder->languageBox->findData(QString::fromLatin1(code)));
            finder->matchesList->repaint();
            finder->countLabel->repaint();
            times.push_back(l.nsecsElapsed() / 1e6);
        }
        std::printf("  language %-23s %6.1f ms  (%d match)\n", code, bench::median(times),
                    finder->matchesList->count());
    }
    return 0;
}
