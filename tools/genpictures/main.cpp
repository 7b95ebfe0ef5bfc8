// borvessa-genpictures OUTDIR
//
// Draws the pictures of the three built-in cards and writes them as
// OUTDIR/Canada.gif, OUTDIR/US.gif and OUTDIR/Canada_Blue.gif. The output
// depends only on the layouts and the installed DejaVu Sans font, so two runs
// give identical files.

#include "CardArtist.h"
#include "GifFile.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    // Text needs a GUI application; no window system is wanted.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: borvessa-genpictures OUTDIR\n");
        return 2;
    }
    const QDir outDir(args.at(1));
    if (!outDir.exists() && !QDir().mkpath(outDir.path())) {
        std::fprintf(stderr, "borvessa-genpictures: cannot create %s\n", qPrintable(outDir.path()));
        return 1;
    }

    int status = 0;
    for (const CardLayout *layout : CardLayouts::all()) {
        const CardPicture picture = CardArtist::draw(*layout);
        for (const QString &problem : picture.problems) {
            std::fprintf(stderr, "borvessa-genpictures: %s: %s\n", qPrintable(layout->name),
                         qPrintable(problem));
            status = 1;
        }
        const IndexedImage indexed = GifFile::quantize(picture.image);
        const QString path = outDir.filePath(layout->pictureFile);
        QString error;
        if (!GifFile::write(path, indexed, &error)) {
            std::fprintf(stderr, "borvessa-genpictures: %s\n", qPrintable(error));
            return 1;
        }
        std::printf("%s: %d x %d\n", qPrintable(path), indexed.width, indexed.height);
    }
    return status;
}
