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

} // namespace

bool exportPdf(const QString &path, const PrintPage &page, int copies,
               const RenderOptions &options, QString *error)
{
    const QString problem = page.problem();
    if (!problem.isEmpty())
        return fail(error, path, problem);
    if (copies < 1)
        return fail(error, path, u"there is no copy to write"_s);

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
        const bool painted = PageRenderer::paintCopies(painter, writer, page, copies, options);
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

} // namespace PdfExport
