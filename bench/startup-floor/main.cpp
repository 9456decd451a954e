// The floor bench/startup measures vlfonts against: a bare Qt window with a list of every
// installed family, filled from fontconfig as vlfonts fills its list, drawn in the interface
// face vlfonts picks, and nothing else. Run by bench_startup like vlfonts itself.
#include "app/InterfaceFonts.h"
#include "platform/FontconfigFontSystem.h"

#include <QApplication>
#include <QListWidget>
#include <QMainWindow>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    applyInterfaceFonts();
    QMainWindow window;
    auto* list = new QListWidget(&window);
    window.setCentralWidget(list);
    window.resize(640, 480);
    window.show();
    // Filled from the event loop just after the window is shown, as vlfonts does.
    QTimer::singleShot(10, list, [list] {
        FontconfigFontSystem fonts;
        list->addItems(fonts.families());
    });
    return app.exec();
}
