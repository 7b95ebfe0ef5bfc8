#include "PdfProbe.h"

#include <QProcess>

#include <climits>
#include <QTemporaryDir>
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

QList<QRectF> mediaBoxes(const QString &pdf)
{
    static const QRegularExpression box(uR"(^Page\s+\d+ MediaBox:\s+([-\d.]+)\s+([-\d.]+)\s+([-\d.]+)\s+([-\d.]+))"_s,
                                        QRegularExpression::MultilineOption);
    QList<QRectF> boxes;
    const QString info = run(u"pdfinfo"_s, {u"-box"_s, u"-f"_s, u"1"_s, u"-l"_s, u"9999"_s, pdf});
    for (auto it = box.globalMatch(info); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        boxes << QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                        QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()));
    }
    return boxes;
}

QString complaints(const QString &pdf)
{
    QProcess p;
    p.start(u"pdfinfo"_s, {pdf});
    if (!p.waitForFinished(30000))
        return u"pdfinfo did not end"_s;
    return QString::fromUtf8(p.readAllStandardError()).trimmed();
}

QImage render(const QString &pdf, int dpi)
{
    QTemporaryDir dir;
    const QString base = dir.filePath(u"page"_s);
    QProcess p;
    p.start(u"pdftoppm"_s, {u"-gray"_s, u"-r"_s, QString::number(dpi), u"-singlefile"_s, u"-f"_s, u"1"_s,
                           u"-l"_s, u"1"_s, pdf, base});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    return QImage(base + u".pgm"_s).convertToFormat(QImage::Format_Grayscale8);
}

QRectF ink(const QImage &page, int dpi, const QRectF &area)
{
    const double perPoint = dpi / 72.0;
    const QRect pixels = QRectF(area.topLeft() * perPoint, area.size() * perPoint).toAlignedRect()
                             .intersected(page.rect());
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        const uchar *line = page.constScanLine(y);
        for (int x = pixels.left(); x <= pixels.right(); ++x) {
            if (line[x] >= 128)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0)
        return {};
    return QRectF(left / perPoint, top / perPoint, (right + 1 - left) / perPoint, (bottom + 1 - top) / perPoint);
}

} // namespace PdfProbe
