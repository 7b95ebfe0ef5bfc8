// Printing a card to PDF: building the page from a loaded card window and
// writing one page per copy, as Export PDF and `borvessa-card print --pdf` do.

#include "CardFileEnvelope.h"
#include "CardFormModel.h"
#include "CardLayouts.h"
#include "Cp1252.h"
#include "InstalledCardText.h"
#include "PdfExport.h"
#include "PrintLayout.h"
#include "SheetModel.h"

#include <QGuiApplication>
#include <QStringList>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// An installed card (Canada unless told) with an answer in every box.
QString writeAnsweredCard(const QTemporaryDir &dir, const CardLayout &layout = CardLayouts::canada())
{
    QStringList lines = installedCardText(layout, installedPrintSettings(layout)).split(QStringLiteral("\r\n"));
    for (const LayoutRow &row : layout.rows) {
        lines[350 + row.box] = QStringLiteral("%1,%2,Answer for box %1").arg(row.box).arg(row.fieldName);
    }
    const QString path = dir.filePath(layout.name + QStringLiteral(".qcf"));
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

// The sheet model of a card with its misfits, as the print confirmation, the
// preview and the card tool compute it: the page with the fit rule applied,
// then every box's field, text and ink and the overlaps. Target: 1 ms.
void BM_SheetModel(benchmark::State &state)
{
    QTemporaryDir dir;
    const CardLayout &layout = *CardLayouts::all().at(std::size_t(state.range(0)));
    CardFormModel form;
    if (!form.LoadCard(writeAnsweredCard(dir, layout))) {
        state.SkipWithError("load failed");
        return;
    }
    std::size_t misfits = 0;
    for (auto _ : state) {
        const SheetModel sheet = SheetModel::build(PrintLayout::page(form));
        misfits = sheet.misfits.size();
        benchmark::DoNotOptimize(misfits);
    }
    state.SetLabel(layout.name.toStdString());
    state.counters["misfits"] = double(misfits);
}
BENCHMARK(BM_SheetModel)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

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
