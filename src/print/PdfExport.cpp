#include "PdfExport.h"

#include "PageRenderer.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace PdfExport {

namespace {

bool fail(QString *error, const QString &path, const QString &reason)
{
    if (error)
        *error = u"%1: %2"_s.arg(QDir::toNativeSeparators(path), reason);
    return false;
}

// Where a classic cross-reference table at xref puts the object; -1 when the
// table is not one of a single subsection from object 0.
qsizetype objectOffset(const QByteArray &pdf, qint64 xref, qint64 number)
{
    static const QRegularExpression head(u"^xref\\s*\\n0 (\\d+)\\s*\\n"_s);
    if (xref < 0 || xref >= pdf.size())
        return -1;
    const QRegularExpressionMatch m = head.match(QString::fromLatin1(pdf.mid(xref, 40)));
    if (!m.hasMatch() || number >= m.captured(1).toLongLong())
        return -1;
    constexpr int EntrySize = 20;
    const QByteArray entry = pdf.mid(xref + m.capturedLength(0) + number * EntrySize, EntrySize);
    bool ok = false;
    const qsizetype offset = entry.left(10).toLongLong(&ok);
    return ok && entry.mid(17, 1) == "n" && offset < pdf.size() ? offset : -1;
}

} // namespace

QByteArray withoutPrintScaling(const QByteArray &pdf)
{
    // The last trailer names the catalog and the previous cross-reference.
    const qsizetype trailer = pdf.lastIndexOf("trailer");
    const qsizetype start = pdf.lastIndexOf("startxref");
    if (trailer < 0 || start < trailer)
        return pdf;
    const QString tail = QString::fromLatin1(pdf.mid(trailer));
    const QRegularExpressionMatch root = QRegularExpression(u"/Root\\s+(\\d+)\\s+0\\s+R"_s).match(tail);
    const QRegularExpressionMatch size = QRegularExpression(u"/Size\\s+(\\d+)"_s).match(tail);
    const QRegularExpressionMatch info = QRegularExpression(u"/Info\\s+(\\d+\\s+0\\s+R)"_s).match(tail);
    const QRegularExpressionMatch prev = QRegularExpression(u"startxref\\s+(\\d+)"_s).match(tail);
    if (!root.hasMatch() || !size.hasMatch() || !prev.hasMatch())
        return pdf;
    const QByteArray number = root.captured(1).toLatin1();
    // The catalog is found through the cross-reference table, never by
    // searching text that compressed streams might also hold.
    const qsizetype object = objectOffset(pdf, prev.captured(1).toLongLong(), number.toLongLong());
    if (object < 0 || pdf.mid(object, number.size() + 6) != number + " 0 obj")
        return pdf;
    const qsizetype end = pdf.indexOf("endobj", object);
    const qsizetype open = pdf.indexOf("<<", object);
    const qsizetype close = end < 0 ? -1 : pdf.lastIndexOf(">>", end);
    if (open < 0 || close < open || close > end || pdf.mid(open, close - open).contains("/ViewerPreferences"))
        return pdf;

    QByteArray out = pdf;
    if (!out.endsWith('\n'))
        out += '\n';
    const qsizetype offset = out.size();
    out += number + " 0 obj\n" + pdf.mid(open, close - open)
           + "/ViewerPreferences << /PrintScaling /None >>\n>>\nendobj\n";
    const qsizetype xref = out.size();
    out += "xref\n" + number + " 1\n" + QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    out += "trailer\n<<\n/Size " + size.captured(1).toLatin1() + "\n/Root " + number + " 0 R\n";
    if (info.hasMatch())
        out += "/Info " + info.captured(1).toLatin1() + "\n";
    out += "/Prev " + prev.captured(1).toLatin1() + "\n>>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return out;
}

bool write(const QString &path, const PrintPage &page, const Painting &paint, QString *error)
{
    const QString problem = page.problem();
    if (!problem.isEmpty())
        return fail(error, path, problem);

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(Resolution);
        writer.setCreator(u"Borvessa"_s);
        writer.setTitle(QFileInfo(path).completeBaseName());
        if (!writer.setPageLayout(QPageLayout(page.pageSize(), page.orientation(), QMarginsF(),
                                              QPageLayout::Point)))
            return fail(error, path, u"the PDF writer refused the card's paper size"_s);
        QPainter painter;
        if (!painter.begin(&writer))
            return fail(error, path, u"the PDF document could not be started"_s);
        const bool painted = paint(painter, writer);
        painter.end();
        if (!painted)
            return fail(error, path, u"the PDF writer refused a new page"_s);
    }
    const QByteArray pdf = withoutPrintScaling(buffer.data());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size() || !file.commit())
        return fail(error, path, file.errorString());
    return true;
}

bool exportPdf(const QString &path, const PrintPage &page, int copies,
               const RenderOptions &options, QString *error)
{
    if (copies < 1 && page.problem().isEmpty())
        return fail(error, path, u"there is no copy to write"_s);
    return write(path, page, [&](QPainter &painter, QPagedPaintDevice &device) {
        return PageRenderer::paintCopies(painter, device, page, copies, options);
    }, error);
}

bool exportPages(const QString &path, std::span<const PrintPage> pages, int copies,
                 const RenderOptions &options, QString *error)
{
    if (pages.empty() || copies < 1)
        return fail(error, path, u"there is no page to write"_s);
    return write(path, pages.front(), [&](QPainter &painter, QPagedPaintDevice &device) {
        return PageRenderer::paintPages(painter, device, pages, copies, options);
    }, error);
}

bool exportSheet(const QString &path, const PrintPage &page, const PageRenderer::SheetPainter &paint,
                 QString *error)
{
    return write(path, page, [&](QPainter &painter, QPagedPaintDevice &device) {
        return PageRenderer::paintSheet(painter, device, page, paint);
    }, error);
}

} // namespace PdfExport
