// The yardstick of the start-up benchmark: a bare Qt Widgets main window,
// shown and painted once.

#include "FirstPaint.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    FirstPaint::quitAfterFirstPaint(&window);
    window.show();
    return app.exec();
}
