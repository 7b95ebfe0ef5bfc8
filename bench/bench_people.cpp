// The people book and group printing: importing a CSV file of 10,000 people
// into a new book (target: 1 s), and one PDF file of a group's cards, as
// `borvessa-card batch --pdf` writes it (target: 500 people in 2 s, and
// growing linearly with the group).

#include "CardFormModel.h"
#include "GroupPrint.h"
#include "PdfExport.h"
#include "PeopleBook.h"
#include "PeopleCsv.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QByteArray peopleCsv(int count)
{
    QByteArray csv = "surname,given_names,initials,birth_date,citizenship,street,city,postal_code,country,household\n";
    for (int i = 0; i < count; ++i)
        csv += QStringLiteral("Straßer%1,José Maria,K,19%2-0%3-1%3,German,%1 Hauptstraße,Köln,50667,Germany,House%4\n")
                   .arg(i)
                   .arg(50 + i % 50)
                   .arg(1 + i % 9)
                   .arg(i / 4)
                   .toUtf8();
    return csv;
}

void BM_ImportPeople(benchmark::State &state)
{
    const QByteArray csv = peopleCsv(int(state.range(0)));
    for (auto _ : state) {
        QTemporaryDir dir;
        QString error;
        PeopleCsv::Reading reading;
        if (!PeopleCsv::read(QStringLiteral("people.csv"), csv, &reading, &error))
            state.SkipWithError(qPrintable(error));
        auto book = PeopleBook::open(dir.filePath(QStringLiteral("people.sqlite")),
                                     PeopleBook::Open::CreateIfMissing, &error);
        if (!book || !book->addAll(&reading.people, &error))
            state.SkipWithError(qPrintable(error));
    }
    state.counters["people"] = benchmark::Counter(double(state.range(0)) * double(state.iterations()),
                                                  benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ImportPeople)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_GroupToPdf(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString card = dir.filePath(QStringLiteral("Canada"));
    for (const char *ext : {".qcf", ".gif", ".fields"})
        QFile::copy(QStringLiteral(BORVESSA_SOURCE_DIR "/cards/Canada") + QLatin1String(ext), card + QLatin1String(ext));
    CardFormModel form;
    if (!form.LoadCard(card + QStringLiteral(".qcf"))) {
        state.SkipWithError("load failed");
        return;
    }
    PeopleCsv::Reading reading;
    QString error;
    PeopleCsv::read(QStringLiteral("people.csv"), peopleCsv(int(state.range(0))), &reading, &error);
    const QString pdf = dir.filePath(QStringLiteral("group.pdf"));
    for (auto _ : state) {
        std::vector<PrintPage> pages;
        for (const GroupPrint::Page &p : GroupPrint::pages(form, reading.people))
            pages.push_back(p.page);
        if (!PdfExport::exportPages(pdf, pages, 1, {}, &error))
            state.SkipWithError(qPrintable(error));
    }
    state.counters["pages"] = benchmark::Counter(double(state.range(0)) * double(state.iterations()),
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GroupToPdf)->Arg(100)->Arg(500)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    // Fonts are measured as the card tool measures them, off any display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
