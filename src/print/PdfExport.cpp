#include "PdfExport.h"

#include "PageRenderer.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
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

using Painting = std::function<bool(QPainter &painter, QPdfWriter &writer)>;

bool writePdf(const QString &path, const PrintPage &page, const Painting &paint, QString *error)
{
    const QString problem = page.problem();
    if (!problem.isEmpty())
        return fail(error, path, problem);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(error, path, file.errorString());
    {
        QPdfWriter writer(&file);
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
    if (file.error() != QFileDevice::NoError)
        return fail(error, path, file.errorString());
    if (!file.commit())
        return fail(error, path, file.errorString());
    return true;
}

} // namespace

bool exportPdf(const QString &path, const PrintPage &page, int copies,
               const RenderOptions &options, QString *error)
{
    if (copies < 1 && page.problem().isEmpty())
        return fail(error, path, u"there is no copy to write"_s);
    return writePdf(path, page, [&](QPainter &painter, QPdfWriter &writer) {
        return PageRenderer::paintCopies(painter, writer, page, copies, options);
    }, error);
}

bool exportSheet(const QString &path, const PrintPage &page, const PageRenderer::SheetPainter &paint,
                 QString *error)
{
    return writePdf(path, page, [&](QPainter &painter, QPdfWriter &writer) {
        return PageRenderer::paintSheet(painter, writer, page, paint);
    }, error);
}

} // namespace PdfExport
