// The yardstick of the start-up benchmark: a bare Qt Widgets main window,
// shown and painted once. With --text it shows one line of text, so that it
// loads the fonts as every window with a caption does.

#include "FirstPaint.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    if (QCoreApplication::arguments().contains(QStringLiteral("--text")))
        window.setCentralWidget(new QLabel(QStringLiteral("Welcome"), &window));
    FirstPaint::quitAfterFirstPaint(&window);
    window.show();
    return app.exec();
}
