// Writes the installed card files (Canada.qcf, US.qcf, Canada_Blue.qcf) from
// the built-in layouts. The output is the same byte for byte on every run.

#include "CardFileEnvelope.h"
#include "CardLayouts.h"
#include "Cp1252.h"
#include "InstalledCardText.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: borvessa-gencards OUTDIR\n");
        return 2;
    }
    const QDir out(args.at(1));
    for (const CardLayout *layout : CardLayouts::all()) {
        const QString text = installedCardText(*layout, installedPrintSettings(*layout));
        const QString path = out.filePath(layout->name + QStringLiteral(".qcf"));
        QString reason;
        if (!CardFileEnvelope::writeCardFile(path, Cp1252::encode(text), &reason)) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(reason));
            return 1;
        }
        std::printf("%s\n", qPrintable(path));
    }
    return 0;
}
