#pragma once

#include <QList>
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
QSizeF pageSize(const QString &pdf);

} // namespace PdfProbe
