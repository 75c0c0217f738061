// The floor of a cold start: the smallest Qt Widgets program, one window
// shown, ending as start_probe does.

#include "ShownProbe.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(800, 600);
    window.show();
    return QApplication::exec();
}
