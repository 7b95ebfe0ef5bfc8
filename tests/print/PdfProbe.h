#pragma once

#include <QImage>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

// Reads a PDF back with the poppler tools: the words with their boxes in
// points (pdftotext -bbox), the page count and the page size (pdfinfo).
namespace PdfProbe {

struct Word
{
    int page = 0; // 1-based
    QString text;
    double xMin = 0;
    double yMin = 0;
    double xMax = 0;
    double yMax = 0;
};

bool available();
QList<Word> words(const QString &pdf);
// The first word with this text, or a word with an empty text.
Word find(const QList<Word> &words, const QString &text);
int pageCount(const QString &pdf);
// Each page's MediaBox in points (pdfinfo -box).
QList<QRectF> mediaBoxes(const QString &pdf);
// What pdfinfo says on its error output about the file: a broken
// cross-reference or object, for instance; empty for a sound file.
QString complaints(const QString &pdf);
// The first page as a grey image at the resolution (pdftoppm), and the
// rectangle of its ink (darker than mid-grey) within an area, in points.
QImage render(const QString &pdf, int dpi);
QRectF ink(const QImage &page, int dpi, const QRectF &area);
QSizeF pageSize(const QString &pdf);

} // namespace PdfProbe
