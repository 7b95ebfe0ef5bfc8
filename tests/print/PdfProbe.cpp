#include "PdfProbe.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace PdfProbe {

namespace {

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

bool available()
{
    return !QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty()
        && !QStandardPaths::findExecutable(u"pdfinfo"_s).isEmpty();
}

QList<Word> words(const QString &pdf)
{
    static const QRegularExpression tag(
        uR"re(<page |<word xMin="([-\d.]+)" yMin="([-\d.]+)" xMax="([-\d.]+)" yMax="([-\d.]+)">([^<]*)</word>)re"_s);
    QList<Word> out;
    int page = 0;
    const QString html = run(u"pdftotext"_s, {u"-bbox"_s, pdf, u"-"_s});
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith(u"<page"_s)) {
            ++page;
            continue;
        }
        out.append({page, m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(),
                    m.captured(3).toDouble(), m.captured(4).toDouble()});
    }
    return out;
}

Word find(const QList<Word> &words, const QString &text)
{
    for (const Word &w : words) {
        if (w.text == text)
            return w;
    }
    return {};
}

int pageCount(const QString &pdf)
{
    static const QRegularExpression pages(uR"(^Pages:\s+(\d+))"_s, QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = pages.match(run(u"pdfinfo"_s, {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QSizeF pageSize(const QString &pdf)
{
    static const QRegularExpression size(uR"(^Page size:\s+([\d.]+) x ([\d.]+) pts)"_s,
                                         QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = size.match(run(u"pdfinfo"_s, {pdf}));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

} // namespace PdfProbe
