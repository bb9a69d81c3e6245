// Entry of the native X11 program: the same core as Ocumira.exe behind a Qt Widgets
// window, with xcb for what Qt does not give (shared-memory capture, XTest, key grabs).
#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return 0;
}
