// Tests of the card picture generator: captions, field marks on the drawn
// pictures, the palette reduction and the GIF files Qt reads back.

#include "CardArtist.h"
#include "GifFile.h"

#include <QFile>
#include <QPainter>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

const CardLayout &layoutNamed(const QString &name)
{
    for (const CardLayout *layout : CardLayouts::all()) {
        if (layout->name == name)
            return *layout;
    }
    qFatal("no layout %s", qPrintable(name));
}

int toPixel(int twips, int origin)
{
    return int(std::lround((twips - origin) / 6.0));
}

// True when every pixel of area has one colour, pixels under the marks of
// other boxes aside (the layouts let a few boxes overlap).
bool uniform(const QImage &image, const QRect &area, const QList<QRect> &others = {})
{
    const QRgb first = image.pixel(area.topLeft());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const bool covered = std::any_of(others.begin(), others.end(), [&](const QRect &r) {
                return r.contains(x, y);
            });
            if (!covered && image.pixel(x, y) != first)
                return false;
        }
    }
    return true;
}

bool darker(QRgb mark, QRgb background)
{
    return qGray(mark) + 60 < qGray(background);
}

} // namespace

class TestGenPictures : public QObject
{
    Q_OBJECT

private slots:
    void captionFor_data();
    void captionFor();
    void picture_data();
    void picture();
    void quantizeStaysCloseToTheDrawing();
    void quantizeIsReproducible();
    void gifReadsBackThroughQt();
    void generatedFileMatchesQuantizedPicture();
};

void TestGenPictures::captionFor_data()
{
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("caption");

    QTest::newRow("after colon, example dropped")
        << u"BirthYear"_s << u"Date of Birth:   YEAR (ie 1959)"_s << u"YEAR"_s;
    QTest::newRow("trailing blank") << u"Airline"_s << u"Arriving by:  Airline "_s << u"Airline"_s;
    QTest::newRow("after last of several colons")
        << u"FirearmsNo"_s
        << u"I am/we are bringing into Canada: Firearms or other weapons:  NO"_s << u"NO"_s;
    QTest::newRow("after arrow") << u"CitizenCanadian"_s
                                 << u"Citizenship > CANADIAN  (if other, specify below.)"_s
                                 << u"CANADIAN"_s;
    QTest::newRow("no colon kept whole") << u"Address"_s
                                         << u"Address - Number, street, town/city"_s
                                         << u"Address - Number, street, town/city"_s;
    QTest::newRow("remark removed") << u"USAddress"_s
                                    << u"U.S. Address (Street Number/Hotel/Mailing Address in U.S.)"_s
                                    << u"U.S. Address"_s;
    QTest::newRow("long question gives field words")
        << u"FlightOrVessel"_s << u"Airline/Flight No. or Vessel Name of Vehicle License No."_s
        << u"Flight or vessel"_s;
    QTest::newRow("nothing after final colon")
        << u"TotalValue"_s
        << u"The total value of all goods, including commercial merchandise, I/we purchased or "
           u"acquired abroad and am/are bringing to the U.S. is: "_s
        << u"Total value"_s;
    QTest::newRow("empty question, acronym kept") << u"USAddress"_s << QString() << u"US address"_s;
}

void TestGenPictures::captionFor()
{
    QFETCH(QString, fieldName);
    QFETCH(QString, question);
    QFETCH(QString, caption);
    LayoutRow row;
    row.fieldName = fieldName;
    row.question = question;
    QCOMPARE(CardArtist::captionFor(row), caption);
}

void TestGenPictures::picture_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("fieldsDrawn");

    QTest::newRow("Canada") << u"Canada"_s << QSize(566, 1040) << 29;
    QTest::newRow("US") << u"US"_s << QSize(520, 1025) << 26;
    QTest::newRow("Canada_Blue") << u"Canada_Blue"_s << QSize(543, 1015) << 29;
}

// Every box on the picture gets its mark exactly at the box's edges, and no
// caption or decoration reaches inside a box.
void TestGenPictures::picture()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(int, fieldsDrawn);

    const CardLayout &layout = layoutNamed(name);
    const CardPicture picture = CardArtist::draw(layout);
    QCOMPARE(picture.image.size(), size);
    QVERIFY2(picture.problems.isEmpty(), qPrintable(picture.problems.join(u'\n')));

    const QImage &image = picture.image;
    const auto pixels = [&layout](const LayoutRow &row) {
        return QRect(QPoint(toPixel(row.left, layout.pictureLeft),
                            toPixel(row.top, layout.pictureTop)),
                     QPoint(toPixel(row.left + row.width, layout.pictureLeft),
                            toPixel(row.top + row.height, layout.pictureTop)));
    };
    int drawn = 0;
    for (const LayoutRow &row : layout.rows) {
        const QRect box = pixels(row);
        if (!image.rect().contains(box))
            continue;
        ++drawn;
        QList<QRect> others;
        for (const LayoutRow &other : layout.rows) {
            if (&other != &row)
                others << pixels(other).adjusted(-1, -1, 1, 1);
        }
        const int x0 = box.left();
        const int y0 = box.top();
        const int x1 = box.right();
        const int y1 = box.bottom();
        const QString where = u"%1 at (%2, %3)"_s.arg(row.fieldName).arg(x0).arg(y0);
        if (CardArtist::isTickBox(row)) {
            const QRect inside(QPoint(x0 + 1, y0 + 1), QPoint(x1 - 2, y1 - 2));
            const QRgb fill = image.pixel(inside.topLeft());
            QVERIFY2(uniform(image, inside, others), qPrintable(where));
            for (const QPoint &edge : {QPoint(x0 - 1, (y0 + y1) / 2), QPoint(x0, (y0 + y1) / 2),
                                       QPoint(x1 - 1, (y0 + y1) / 2), QPoint(x1, (y0 + y1) / 2),
                                       QPoint((x0 + x1) / 2, y0 - 1), QPoint((x0 + x1) / 2, y0),
                                       QPoint((x0 + x1) / 2, y1 - 1), QPoint((x0 + x1) / 2, y1)}) {
                QVERIFY2(darker(image.pixel(edge), fill), qPrintable(where));
            }
        } else {
            const QRect above(QPoint(x0, y0), QPoint(x1 - 1, y1 - 2));
            const QRgb paper = image.pixel(above.topLeft());
            QVERIFY2(uniform(image, above, others), qPrintable(where));
            for (int x = x0; x < x1; ++x) {
                QVERIFY2(darker(image.pixel(x, y1 - 1), paper), qPrintable(where));
                QVERIFY2(darker(image.pixel(x, y1), paper), qPrintable(where));
            }
            // The line neither starts early nor runs on.
            QVERIFY2(!darker(image.pixel(x0 - 1, y1), paper), qPrintable(where));
            QVERIFY2(!darker(image.pixel(x1, y1), paper), qPrintable(where));
        }
    }
    QCOMPARE(drawn, fieldsDrawn);
}

namespace {

// An antialiased drawing in the card colours with far more than 256 colours.
QImage antialiasedDrawing(const std::vector<QRgb> &keys)
{
    QImage image(400, 200, QImage::Format_RGB32);
    image.fill(keys[0]);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(0, 0, 400, 60, QColor(keys[2]));
    painter.setFont(CardCanvas::font(19, true));
    painter.setPen(QColor(keys[3]));
    painter.drawText(10, 40, u"CANADA \u2014 Declaration"_s);
    painter.setPen(QColor(keys[1]));
    painter.setFont(CardCanvas::font(11));
    for (int i = 0; i < 8; ++i)
        painter.drawText(10, 80 + 14 * i, u"Goods related to my/our profession %1"_s.arg(i));
    painter.drawEllipse(250, 80, 120, 100);
    return image;
}

int channelError(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

} // namespace

// The paper, the ink and the bands keep their colours to within giflib's
// 5 bits per channel; antialiased edges stay near their colours too.
void TestGenPictures::quantizeStaysCloseToTheDrawing()
{
    const std::vector<QRgb> keys = {qRgb(0xE5, 0xF1, 0xEA), qRgb(0x17, 0x3F, 0x3B),
                                    qRgb(0x1D, 0x6B, 0x62), qRgb(0xFF, 0xFF, 0xFF)};
    const QImage image = antialiasedDrawing(keys);
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    }
    QVERIFY2(colours.size() > 256, "the drawing should need reducing");

    const IndexedImage indexed = GifFile::quantize(image);
    QCOMPARE(indexed.width, image.width());
    QCOMPARE(indexed.height, image.height());
    QCOMPARE(indexed.palette.size(), std::size_t(256));
    QCOMPARE(indexed.pixels.size(), std::size_t(image.width() * image.height()));
    const QImage reduced = indexed.toImage();
    int worst = 0;
    int worstKey = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb before = image.pixel(x, y);
            const int error = channelError(before, reduced.pixel(x, y));
            worst = std::max(worst, error);
            if (std::find(keys.begin(), keys.end(), before) != keys.end())
                worstKey = std::max(worstKey, error);
        }
    }
    QVERIFY2(worstKey < 8, qPrintable(u"largest channel error of a key colour %1"_s.arg(worstKey)));
    QVERIFY2(worst <= 32, qPrintable(u"largest channel error %1"_s.arg(worst)));

    // A picture of one colour is one palette entry.
    QImage plain(31, 7, QImage::Format_RGB32);
    plain.fill(keys[0]);
    const IndexedImage single = GifFile::quantize(plain);
    QVERIFY(std::all_of(single.pixels.begin(), single.pixels.end(),
                        [&](std::uint8_t p) { return p == single.pixels.front(); }));
    QVERIFY(channelError(single.palette[single.pixels.front()], keys[0]) < 8);
    QVERIFY(GifFile::quantize(QImage()).pixels.empty());
}

// The same drawing gives the same file, byte for byte, on every run.
void TestGenPictures::quantizeIsReproducible()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QByteArray first;
    for (int run = 0; run < 2; ++run) {
        const CardPicture picture = CardArtist::draw(CardLayouts::canada());
        const QString path = dir.filePath(u"Canada%1.gif"_s.arg(run));
        QVERIFY(GifFile::write(path, GifFile::quantize(picture.image)));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(!bytes.isEmpty());
        if (run == 0)
            first = bytes;
        else
            QVERIFY(bytes == first);
    }
}

void TestGenPictures::gifReadsBackThroughQt()
{
    // An odd size and a palette with distinct red, green and blue catch
    // swapped channels, a wrong row length and rows out of order.
    IndexedImage indexed;
    indexed.width = 37;
    indexed.height = 23;
    for (int i = 0; i < 256; ++i)
        indexed.palette.push_back(qRgb(i, 255 - i, (i * 7) % 256));
    for (int y = 0; y < indexed.height; ++y) {
        for (int x = 0; x < indexed.width; ++x)
            indexed.pixels.push_back(std::uint8_t((x * 5 + y * 11) % 256));
    }
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"pattern.gif"_s);
    QString error;
    QVERIFY2(GifFile::write(path, indexed, &error), qPrintable(error));
    const QImage read(path);
    QVERIFY(!read.isNull());
    QCOMPARE(read.convertToFormat(QImage::Format_RGB32), indexed.toImage());

    QVERIFY(!GifFile::write(dir.filePath(u"missing/dir/x.gif"_s), indexed, &error));
    QVERIFY(!error.isEmpty());
}

void TestGenPictures::generatedFileMatchesQuantizedPicture()
{
    const CardPicture picture = CardArtist::draw(CardLayouts::us());
    const IndexedImage indexed = GifFile::quantize(picture.image);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"US.gif"_s);
    QVERIFY(GifFile::write(path, indexed));
    QVERIFY(QFile(path).size() < 150 * 1024);
    const QImage read(path);
    QCOMPARE(read.size(), picture.image.size());
    QCOMPARE(read.convertToFormat(QImage::Format_RGB32), indexed.toImage());
    // The colours the card was painted in keep their look.
    const QImage reduced = indexed.toImage();
    const QImage drawn = picture.image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            const QRgb before = drawn.pixel(x, y) | 0xFF000000u;
            if (std::find(picture.colours.begin(), picture.colours.end(), before) != picture.colours.end())
                QVERIFY2(channelError(before, reduced.pixel(x, y)) < 8, qPrintable(u"at %1, %2"_s.arg(x).arg(y)));
        }
    }
}

QTEST_MAIN(TestGenPictures)
#include "tst_genpictures.moc"
