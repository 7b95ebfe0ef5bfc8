// Loading and saving a card: read, decrypt, verify, parse every bank and the
// questions; and the save path with the atomic encrypted write.

#include "Card.h"
#include "CardFileEnvelope.h"
#include "CardLayouts.h"
#include "Cp1252.h"
#include "InstalledCardText.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QString writeInstalled(const QTemporaryDir &dir, const CardLayout &layout, int extraLines = 0)
{
    QString text = installedCardText(layout, installedPrintSettings(layout));
    for (int i = 0; i < extraLines; ++i)
        text += QStringLiteral("trailing line that nothing reads, kept as it is\r\n");
    const QString path = dir.filePath(layout.name + QStringLiteral(".qcf"));
    QString reason;
    CardFileEnvelope::writeCardFile(path, Cp1252::encode(text), &reason);
    return path;
}

void BM_LoadCard(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = writeInstalled(dir, CardLayouts::canada(), int(state.range(0)));
    for (auto _ : state) {
        Card card;
        if (!card.LoadCard(path))
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(card.colCardCtrls().Count());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LoadCard)->Arg(1)->Arg(1000)->Arg(4000)->Unit(benchmark::kMicrosecond)->Complexity();

// The envelope alone, beside the whole load of the same file: read, decrypt
// and check the digest, without parsing anything.
void BM_EnvelopeOnly(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = writeInstalled(dir, CardLayouts::canada());
    for (auto _ : state) {
        QByteArray text;
        QString reason;
        if (!CardFileEnvelope::readCardFile(path, &text, &reason))
            state.SkipWithError("decrypt failed");
        benchmark::DoNotOptimize(text.size());
    }
}
BENCHMARK(BM_EnvelopeOnly)->Unit(benchmark::kMicrosecond);

void BM_SaveCard(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = writeInstalled(dir, CardLayouts::canada());
    Card card;
    card.LoadCard(path);
    const int highest = CardLayouts::canada().highestBox();
    int n = 0;
    for (auto _ : state) {
        // What a save in normal mode does to the model: answers, layout,
        // picture, flags, then the encrypted atomic write.
        card.colAnsws().clear();
        for (int i = 0; i <= highest; ++i)
            card.colAnsws().Add(std::int16_t(i), QStringLiteral("Answer %1 %2").arg(i).arg(n), QString::number(i));
        card.setLastCntrl(std::int16_t(highest));
        card.Save_UseDefaultVals_Setting();
        card.SaveAnwsersToCardStr();
        card.setSaveAtLineNum_Start(Card::FirstCurrentControl);
        card.setSaveAtLineNum_End(Card::LastCurrentControl);
        card.SaveControlValuesToCardStr();
        card.SaveCardLocToCardStr();
        card.SetDesignModeValInCardStr();
        if (!card.SaveCardStrToFile())
            state.SkipWithError("save failed");
        ++n;
    }
}
BENCHMARK(BM_SaveCard)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
