// borvessa-genicons OUTDIR
// borvessa-genicons --built-in OUTDIR
//
// Draws the application icon, the product picture, in the sizes desktops ask
// for and writes OUTDIR/NxN/borvessa.png for each, from the same drawing the
// windows show. With --built-in it writes the pixels of the sizes the program
// keeps in its resources instead (OUTDIR/product-N.argb), as the build does.

#include "ProductInfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QSaveFile>

#include <cstdio>

using namespace Qt::StringLiterals;

static bool writeBuiltIn(const QString &outDir)
{
    if (!QDir().mkpath(outDir))
        return false;
    for (int side : ProductInfo::BuiltInSides) {
        const QImage image = ProductInfo::drawnPicture(side);
        QSaveFile file(QDir(outDir).filePath(QFileInfo(ProductInfo::builtInResource(side)).fileName()));
        if (!file.open(QIODevice::WriteOnly))
            return false;
        for (int y = 0; y < side; ++y)
            file.write(reinterpret_cast<const char *>(image.constScanLine(y)), qint64(side) * 4);
        if (!file.commit())
            return false;
    }
    return true;
}

int main(int argc, char *argv[])
{
    // Pixmaps need a GUI application; no window system is wanted.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList args = app.arguments();
    if (args.size() == 3 && args.at(1) == u"--built-in"_s) {
        if (writeBuiltIn(args.at(2)))
            return 0;
        std::fprintf(stderr, "borvessa-genicons: cannot write the pictures in %s\n", qPrintable(args.at(2)));
        return 1;
    }
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: borvessa-genicons OUTDIR\n       borvessa-genicons --built-in OUTDIR\n");
        return 2;
    }
    for (int side : {16, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QDir(args.at(1)).filePath(u"%1x%1"_s.arg(side));
        const QString path = dir + u"/borvessa.png"_s;
        const QImage icon = ProductInfo::drawnPicture(side).convertToFormat(QImage::Format_ARGB32);
        if (!QDir().mkpath(dir) || !icon.save(path, "PNG")) {
            std::fprintf(stderr, "borvessa-genicons: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
