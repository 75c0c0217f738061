// The floor of a cold start: the smallest Qt Widgets program that shows
// text, one window with one Japanese line, ending as start_probe does. With
// an empty window instead ("--empty") no font is ever loaded, which no
// program with a word on screen can skip.

#include "ShownProbe.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(800, 600);
    if (argc < 2 || std::strcmp(argv[1], "--empty") != 0) {
        auto* label = new QLabel(QStringLiteral("タブレットで測った長さと面積"), &window);
        label->move(20, 20);
    }
    window.show();
    return QApplication::exec();
}
