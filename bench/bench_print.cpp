// Printing a card to PDF: building the page from a loaded card window and
// writing one page per copy, as Export PDF and `borvessa-card print --pdf` do.

#include "CardFileEnvelope.h"
#include "CardFormModel.h"
#include "CardLayouts.h"
#include "Cp1252.h"
#include "InstalledCardText.h"
#include "PdfExport.h"
#include "PrintLayout.h"

#include <QGuiApplication>
#include <QStringList>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// The installed Canada card with an answer in every box.
QString writeAnsweredCard(const QTemporaryDir &dir)
{
    const CardLayout &layout = CardLayouts::canada();
    QStringList lines = installedCardText(layout, installedPrintSettings(layout)).split(QStringLiteral("\r\n"));
    for (const LayoutRow &row : layout.rows) {
        lines[350 + row.box] = QStringLiteral("%1,%2,Answer for box %1").arg(row.box).arg(row.fieldName);
    }
    const QString path = dir.filePath(QStringLiteral("Canada.qcf"));
    QString reason;
    CardFileEnvelope::writeCardFile(path, Cp1252::encode(lines.join(QStringLiteral("\r\n"))), &reason);
    return path;
}

void BM_PrintToPdf(benchmark::State &state)
{
    QTemporaryDir dir;
    CardFormModel form;
    if (!form.LoadCard(writeAnsweredCard(dir))) {
        state.SkipWithError("load failed");
        return;
    }
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    const int copies = int(state.range(0));
    for (auto _ : state) {
        const PrintPage page = PrintLayout::page(form);
        QString error;
        if (!PdfExport::exportPdf(pdf, page, copies, {}, &error))
            state.SkipWithError(qPrintable(error));
    }
    state.counters["pages"] = benchmark::Counter(double(copies) * double(state.iterations()),
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PrintToPdf)->Arg(1)->Arg(25)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    // Fonts need a GUI application; the offscreen platform needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
