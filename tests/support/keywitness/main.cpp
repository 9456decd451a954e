// A window of another program for the Wayland tests: it prints "key <text>" for every key it is
// given, so a test can tell that a key the desktop kept for itself never reached it.
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <cstdio>

namespace {
class Witness final : public QWidget {
protected:
    void keyPressEvent(QKeyEvent* event) override {
        std::printf("key %s %d\n", event->text().toUtf8().constData(), event->key());
        std::fflush(stdout);
    }
};
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Witness window;
    window.setWindowTitle(QStringLiteral("vl-key-witness"));
    window.resize(400, 300);
    window.show();
    return app.exec();
}
