#include <QApplication>
#include <QWidget>

// The updater's window arrives with the updater work.
int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return 0;
}
