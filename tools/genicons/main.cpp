// borvessa-genicons OUTDIR
//
// Draws the application icon, the product picture, in the sizes desktops ask
// for and writes OUTDIR/NxN/borvessa.png for each, from the same drawing the
// windows show.

#include "ProductInfo.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    // Pixmaps need a GUI application; no window system is wanted.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: borvessa-genicons OUTDIR\n");
        return 2;
    }
    for (int side : {16, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QDir(args.at(1)).filePath(u"%1x%1"_s.arg(side));
        const QString path = dir + u"/borvessa.png"_s;
        const QImage icon = ProductInfo::picture(side).toImage().convertToFormat(QImage::Format_ARGB32);
        if (!QDir().mkpath(dir) || !icon.save(path, "PNG")) {
            std::fprintf(stderr, "borvessa-genicons: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
