#include "Calibration.h"

#include "Numbers.h"

#include <QFont>
#include <QPainter>
#include <QPen>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace Calibration {

namespace {

bool fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

QString mm(double value)
{
    return QString::number(value, 'f', 2);
}

} // namespace

Marks marks(const PrintPage &page)
{
    const double inset = MarkInset * TwipsPerMm;
    return {{inset, inset}, {page.pageWidth() - inset, page.pageHeight() - inset}};
}

std::optional<Measurement> parse(const QStringList &numbers, QString *error)
{
    static const char *const names[] = {"A from the left edge", "A from the top edge",
                                        "B from the left edge", "B from the top edge"};
    if (numbers.size() != 4) {
        fail(error, u"Four measurements are needed (A from the left and top edges, then B); %1 given."_s.arg(
                        numbers.size()));
        return std::nullopt;
    }
    double v[4];
    for (int i = 0; i < 4; ++i) {
        const std::optional<double> d = Numbers::toDouble(numbers.at(i));
        if (!d || !std::isfinite(*d)) {
            fail(error, u"The measurement of %1 (\"%2\") is not a number of millimetres."_s.arg(
                            QLatin1StringView(names[i]), numbers.at(i).trimmed()));
            return std::nullopt;
        }
        v[i] = *d;
    }
    return Measurement{{v[0], v[1]}, {v[2], v[3]}};
}

std::optional<Solution> solve(const PrintPage &page, const Measurement &m, QString *error)
{
    const double widthMm = page.pageWidth() / TwipsPerMm;
    const double heightMm = page.pageHeight() / TwipsPerMm;
    for (const auto &[name, p] : {std::pair{'A', m.a}, std::pair{'B', m.b}}) {
        if (p.x() < 0 || p.y() < 0 || p.x() > widthMm || p.y() > heightMm) {
            fail(error, u"Mark %1 measured at %2 mm by %3 mm lies off the paper, which is %4 by %5 mm."_s
                            .arg(QChar(name)).arg(mm(p.x()), mm(p.y()), mm(widthMm), mm(heightMm)));
            return std::nullopt;
        }
    }
    // The printer puts a page point p at s * p + t. With one scale for both
    // axes, s is the least-squares ratio of the measured span to the
    // printed one and t the mean remaining shift.
    const Marks printed = marks(page);
    const QPointF pa = printed.a / TwipsPerMm;
    const QPointF pb = printed.b / TwipsPerMm;
    const QPointF span = pb - pa;
    const QPointF measured = m.b - m.a;
    const double s = (measured.x() * span.x() + measured.y() * span.y())
        / (span.x() * span.x() + span.y() * span.y());
    if (!(s >= MinimumScale && s <= MaximumScale)) {
        fail(error, u"The measurements give a printer scale of %1, outside 0.9 to 1.1: check that A and B "
                    "were measured from the paper's left and top edges."_s.arg(s, 0, 'f', 4));
        return std::nullopt;
    }
    const QPointF t = ((m.a - s * pa) + (m.b - s * pb)) / 2;
    const double worst = std::max(std::hypot(s * pa.x() + t.x() - m.a.x(), s * pa.y() + t.y() - m.a.y()),
                                  std::hypot(s * pb.x() + t.x() - m.b.x(), s * pb.y() + t.y() - m.b.y()));

    // An answer at page point e * (box - (margin, 270)) lands at
    // s * e * (box - (margin, 270)) + t, and its field is box - picture
    // corner: e = 1 / s, margin = picture left + t.x and picture top =
    // 270 - t.y.
    const double margin = std::round(double(page.picture.left) + t.x() * TwipsPerMm);
    if (margin < std::numeric_limits<std::int16_t>::min() || margin > std::numeric_limits<std::int16_t>::max()) {
        fail(error, u"The measurements give a left print margin of %1 twips, outside what a card holds "
                    "(-32768 to 32767)."_s.arg(margin, 0, 'f', 0));
        return std::nullopt;
    }
    Solution sol;
    sol.scale = s;
    sol.offset = t;
    sol.worstError = worst;
    sol.margin = std::int16_t(margin);
    sol.enlarge = float(1 / s);
    sol.layoutDown = float(std::round(PrintPage::TopLift - t.y() * TwipsPerMm - double(page.picture.top)));
    return sol;
}

QString Solution::summary() const
{
    // Each shift is said with its direction, so no reading of a minus sign is needed.
    const QString across = u"%1 mm %2"_s.arg(mm(std::abs(offset.x())), offset.x() < 0 ? u"left"_s : u"right"_s);
    const QString along = u"%1 mm %2"_s.arg(mm(std::abs(offset.y())), offset.y() < 0 ? u"up"_s : u"down"_s);
    const QString move = u"%1 twips %2"_s.arg(Numbers::formatSingle(std::abs(layoutDown)),
                                               layoutDown < 0 ? u"up"_s : u"down"_s);
    return u"Printer offset: %1, %2\nPrinter scale: %3\nWorst remaining error: %4 mm\n"
           "New settings: enlargement %5, left print margin %6 twips, layout moved %7"_s
        .arg(across, along)
        .arg(scale, 0, 'f', 4)
        .arg(mm(worstError), Numbers::formatSingle(enlarge))
        .arg(margin)
        .arg(move);
}

void paintSheet(QPainter &painter, const PrintPage &page)
{
    const Marks mk = marks(page);
    const double mmT = TwipsPerMm;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 6)); // 0.3 pt
    for (const auto &[label, c] : {std::pair{u"A"_s, mk.a}, std::pair{u"B"_s, mk.b}}) {
        // A cross 7 mm each way, short of the paper's edge and of most
        // printers' unprintable margins, with a tick every millimetre and a
        // longer one every five.
        constexpr int Arm = 7;
        painter.drawLine(QPointF(c.x() - Arm * mmT, c.y()), QPointF(c.x() + Arm * mmT, c.y()));
        painter.drawLine(QPointF(c.x(), c.y() - Arm * mmT), QPointF(c.x(), c.y() + Arm * mmT));
        for (int k = -Arm; k <= Arm; ++k) {
            if (k == 0)
                continue;
            const double len = (k % 5 == 0 ? 1.5 : 0.75) * mmT;
            painter.drawLine(QPointF(c.x() + k * mmT, c.y() - len), QPointF(c.x() + k * mmT, c.y() + len));
            painter.drawLine(QPointF(c.x() - len, c.y() + k * mmT), QPointF(c.x() + len, c.y() + k * mmT));
        }
        QFont font(u"DejaVu Sans"_s);
        font.setPixelSize(int(3 * mmT));
        painter.setFont(font);
        const bool isA = label == u"A"_s;
        painter.drawText(QPointF(c.x() + (isA ? 2 : -5) * mmT, c.y() + (isA ? 5 : -2) * mmT), label);
    }
    QFont font(u"DejaVu Sans"_s);
    font.setPixelSize(int(2.2 * mmT));
    painter.setFont(font);
    const QRectF textRect(mk.a.x() + 3 * mmT, mk.a.y() + 12 * mmT, page.pageWidth() - mk.a.x() - 12 * mmT,
                          page.pageHeight() - mk.a.y() - 40 * mmT);
    painter.drawText(textRect, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
                     u"Calibration sheet. Feed a blank card the way cards are fed and print this "
                     "sheet on it. With a ruler, measure where the centre of cross A and of cross B "
                     "landed: the distance from the paper's left edge and from its top edge, in "
                     "millimetres. Enter the four numbers in Calibrate Printing."_s);
    painter.restore();
}

} // namespace Calibration
