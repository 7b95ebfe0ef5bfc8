// Opening a card in the window (choose, picture, load, boxes built, window
// laid out) and one move of the focus from box to box.

#include "AnswerBox.h"
#include "PictureFile.h"
#include "CardFileEnvelope.h"
#include "CardLayouts.h"
#include "Cp1252.h"
#include "InstalledCardText.h"
#include "CardPrinting.h"
#include "MDIForm1.h"
#include "PagePreview.h"
#include "PrintPreviewDialog.h"
#include "Messages.h"
#include "frmCanCard.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QThreadPool>

#include <benchmark/benchmark.h>

namespace {

QString g_cards;

void prepareCards(const QTemporaryDir &dir)
{
    const CardLayout &layout = CardLayouts::canada();
    QString reason;
    CardFileEnvelope::writeCardFile(dir.filePath(QStringLiteral("Canada.qcf")),
                                    Cp1252::encode(installedCardText(layout, installedPrintSettings(layout))),
                                    &reason);
    QFile::copy(QStringLiteral(BORVESSA_SOURCE_DIR "/cards/Canada.gif"), dir.filePath(QStringLiteral("Canada.gif")));
    g_cards = dir.path();
}

// Opens the Canada card and closes it again, timing only the open. With
// firstTime the picture cache is emptied first, so the picture is decoded
// as on the first open of a run.
void openCanada(benchmark::State &state, bool firstTime)
{
    MDIForm1 window(g_cards);
    window.show();
    // As the program does once its window is painted; a user's first open
    // comes long after the picture reader has started.
    QCoreApplication::processEvents();
    MDIForm1::prepareForCards();
    QThreadPool::globalInstance()->waitForDone();
    for (auto _ : state) {
        if (firstTime) {
            state.PauseTiming();
            PictureFile::clearCache();
            state.ResumeTiming();
        }
        if (!window.openCard(QStringLiteral("Canada")))
            state.SkipWithError("open failed");
        QCoreApplication::processEvents();
        state.PauseTiming();
        window.closeCard();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}

void BM_OpenCard(benchmark::State &state)
{
    openCanada(state, false);
}
BENCHMARK(BM_OpenCard)->Unit(benchmark::kMillisecond);

// The first open of a card in this run: its picture is not decoded yet.
void BM_OpenCardFirstTime(benchmark::State &state)
{
    openCanada(state, true);
}
BENCHMARK(BM_OpenCardFirstTime)->Unit(benchmark::kMillisecond);

// Decoding the card's GIF picture, at its own size and at the size the window
// shows it (the picture rectangle in twips at 15 twips a pixel).
void BM_DecodePicture(benchmark::State &state)
{
    const QString file = g_cards + QStringLiteral("/Canada.gif");
    const CardLayout &layout = CardLayouts::canada();
    const QSize shown(int(layout.pictureWidth / 15), int(layout.pictureHeight / 15));
    for (auto _ : state) {
        QImageReader reader(file);
        if (state.range(0))
            reader.setScaledSize(shown);
        const QImage image = reader.read();
        if (image.isNull())
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetLabel(state.range(0) ? "at the displayed size" : "at its own size");
}
BENCHMARK(BM_DecodePicture)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FocusChange(benchmark::State &state)
{
    MDIForm1 window(g_cards);
    window.show();
    window.openCard(QStringLiteral("Canada"));
    frmCanCard *card = window.cardWindow();
    QApplication::setActiveWindow(&window);
    int next = 0;
    const int boxes[] = {0, 12, 10, 13, 4};
    for (auto _ : state) {
        card->txtAddress(boxes[next])->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
        next = (next + 1) % 5;
    }
    card->model().setModified(false);
}
BENCHMARK(BM_FocusChange)->Unit(benchmark::kMicrosecond);

// Print Preview opening on the card window's page: the page and its sheet
// model, the printer's margins asked, the dialog built, shown and painted
// once. Target: 150 ms.
void BM_OpenPreview(benchmark::State &state)
{
    MDIForm1 window(g_cards);
    window.show();
    window.openCard(QStringLiteral("Canada"));
    frmCanCard *card = window.cardWindow();
    for (auto _ : state) {
        const PrintPage page = card->PrintCard2();
        PrintPreviewDialog dialog(page, card->GetCopies(), card->printing().previewOptions(), card,
                                  CardPrinting::systemPrinter().unprintableMargins(page));
        dialog.resize(600, 900);
        dialog.show();
        dialog.preview()->repaint();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_OpenPreview)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Messages::RecordingSink sink;
    Messages::ScopedSink scoped(&sink);
    QTemporaryDir dir;
    prepareCards(dir);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
