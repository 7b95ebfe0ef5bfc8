#include "CardArtist.h"

#include <QRegularExpression>

#include <algorithm>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

// Twips between a caption or label and the box it belongs to.
constexpr int CaptionGap = 24;
constexpr int LabelGap = 36;
// The blank margin along the picture's left and right edges.
constexpr int Margin = 60;

// "FlightOrVessel" -> "Flight or vessel", "USAddress" -> "US address".
QString wordsOf(const QString &fieldName)
{
    QStringList words;
    QString word;
    for (qsizetype i = 0; i < fieldName.size(); ++i) {
        const QChar c = fieldName.at(i);
        const bool prevLower = i > 0 && fieldName.at(i - 1).isLower();
        const bool prevUpper = i > 0 && fieldName.at(i - 1).isUpper();
        const bool nextLower = i + 1 < fieldName.size() && fieldName.at(i + 1).isLower();
        if (c.isUpper() && !word.isEmpty() && (prevLower || (prevUpper && nextLower))) {
            words << word;
            word.clear();
        }
        word += c;
    }
    if (!word.isEmpty())
        words << word;
    for (qsizetype i = 1; i < words.size(); ++i) {
        if (words[i] != words[i].toUpper())
            words[i] = words[i].toLower();
    }
    return words.join(u' ');
}

} // namespace

CardArtist::CardArtist(const CardLayout &layout, const Style &style)
    : m_canvas(layout, style.paper)
    , m_style(style)
{
}

CardPicture CardArtist::draw(const CardLayout &layout)
{
    if (layout.name == u"Canada"_s) {
        CardArtist artist(layout, {QColor(0xE5F1EA), QColor(0x173F3B), QColor(0x1F5C55),
                                   QColor(0x1D6B62), QColor(0xFFFFFF), QColor(0xCCE4DA),
                                   QColor(0xFFFFFF)});
        artist.drawCanada();
        return artist.finish();
    }
    if (layout.name == u"US"_s) {
        CardArtist artist(layout, {QColor(0xFFFFFF), QColor(0x1A1F2E), QColor(0x1C3366),
                                   QColor(0x1C3366), QColor(0xFFFFFF), QColor(0xE3E5EA),
                                   QColor(0xFFFFFF)});
        artist.drawUs();
        return artist.finish();
    }
    if (layout.name == u"Canada_Blue"_s) {
        CardArtist artist(layout, {QColor(0xE1ECF7), QColor(0x1B3552), QColor(0x2A5683),
                                   QColor(0x3B6EA3), QColor(0xFFFFFF), QColor(0xC8DBEE),
                                   QColor(0xFFFFFF)});
        artist.drawCanadaBlue();
        return artist.finish();
    }
    // Any other layout: its fields with the captions their questions give.
    CardArtist artist(layout, {QColor(0xFFFFFF), QColor(0x202020), QColor(0x404040),
                               QColor(0x404040), QColor(0xFFFFFF), QColor(0xE8E8E8),
                               QColor(0xFFFFFF)});
    artist.titleBand(layout.name, 200);
    artist.drawFields();
    for (const LayoutRow &row : layout.rows) {
        if (!artist.m_canvas.onPicture(row))
            continue;
        if (isTickBox(row))
            artist.tickLabel(row.fieldName, Qt::AlignRight, captionFor(row));
        else
            artist.caption(row.fieldName, Place::Above);
    }
    return artist.finish();
}

QString CardArtist::captionFor(const LayoutRow &row)
{
    static const QRegularExpression remark(u"\\([^)]*\\)"_s);
    QString text = row.question;
    text.remove(remark);
    const qsizetype cut = std::max(text.lastIndexOf(u':'), text.lastIndexOf(u'>'));
    if (cut >= 0 && !text.mid(cut + 1).trimmed().isEmpty())
        text = text.mid(cut + 1);
    text = text.simplified();
    if (text.endsWith(u':'))
        text.chop(1);
    if (text.isEmpty() || text.size() > 40)
        return wordsOf(row.fieldName);
    return text;
}

CardPicture CardArtist::finish()
{
    return {m_canvas.finish(), m_canvas.colours(), m_canvas.problems()};
}

const LayoutRow &CardArtist::row(const QString &fieldName) const
{
    for (const LayoutRow &r : m_canvas.layout().rows) {
        if (r.fieldName == fieldName)
            return r;
    }
    throw std::logic_error("no row " + fieldName.toStdString() + " in the layout");
}

int CardArtist::left() const
{
    return m_canvas.layout().pictureLeft + Margin;
}

int CardArtist::right() const
{
    return m_canvas.layout().pictureLeft + m_canvas.layout().pictureWidth - Margin;
}

int CardArtist::bottom() const
{
    return m_canvas.layout().pictureTop + m_canvas.layout().pictureHeight;
}

void CardArtist::drawFields()
{
    for (const LayoutRow &r : m_canvas.layout().rows) {
        if (!m_canvas.onPicture(r))
            continue;
        if (isTickBox(r))
            m_canvas.tickSquare(r, m_style.line, m_style.tickFill);
        else
            m_canvas.writingLine(r, m_style.line);
    }
}

void CardArtist::titleBand(const QString &title, int height)
{
    const QRect picture = m_canvas.pictureRect();
    m_canvas.fillRect(QRect(picture.x(), picture.y(), picture.width(), height), m_style.band);
    m_canvas.fillRect(QRect(picture.x(), bottom() - 60, picture.width(), 60), m_style.band);
    const QFont font = m_canvas.fittingFont(title, right() - left(), 19, true);
    m_canvas.drawText(title, picture.x() + picture.width() / 2,
                      picture.y() + height / 2 + m_canvas.halfCapHeight(font), font,
                      m_style.bandText, Qt::AlignHCenter);
}

void CardArtist::caption(const QString &fieldName, Place place, const QString &text,
                         int pixelSize)
{
    const LayoutRow &r = row(fieldName);
    const QString words = text.isEmpty() ? captionFor(r) : text;
    const QFont font = CardCanvas::font(pixelSize);
    const int lineY = r.top + r.height;
    switch (place) {
    case Place::Above:
        m_canvas.drawText(words, r.left, r.top - CaptionGap, font, m_style.ink);
        break;
    case Place::Left:
        m_canvas.drawText(words, r.left - LabelGap, lineY - CardCanvas::TwipsPerPixel, font,
                          m_style.ink, Qt::AlignRight);
        break;
    case Place::Below:
        m_canvas.drawText(words, r.left, lineY + CaptionGap + 2 * m_canvas.halfCapHeight(font),
                          font, m_style.ink);
        break;
    }
}

void CardArtist::tickLabel(const QString &fieldName, Qt::Alignment side, const QString &text,
                           int maxWidth, int lift)
{
    const LayoutRow &r = row(fieldName);
    const QFont font = maxWidth > 0 ? m_canvas.fittingFont(text, maxWidth, 11)
                                    : CardCanvas::font(11);
    const int baseline = r.top + r.height / 2 + m_canvas.halfCapHeight(font) - lift;
    if (side & Qt::AlignLeft)
        m_canvas.drawText(text, r.left - LabelGap, baseline, font, m_style.ink, Qt::AlignRight);
    else
        m_canvas.drawText(text, r.left + r.width + LabelGap, baseline, font, m_style.ink);
}

void CardArtist::groupHeading(const QString &fieldName, const QString &text)
{
    const LayoutRow &r = row(fieldName);
    m_canvas.drawText(text, r.left + r.width, r.top - 18, CardCanvas::font(10, true),
                      m_style.ink, Qt::AlignRight);
}

int CardArtist::question(const QString &yesField, int x, const QString &text, int pixelSize)
{
    const LayoutRow &yes = row(yesField);
    const QFont font = CardCanvas::font(pixelSize);
    const QStringList lines = m_canvas.wrap(text, font, yes.left - 120 - x);
    const int spacing = m_canvas.lineSpacing(font);
    const int centre = yes.top + yes.height / 2;
    const int first = centre + m_canvas.halfCapHeight(font) - int(lines.size() - 1) * spacing / 2;
    m_canvas.drawLines(lines, x, first, font, m_style.ink);
    if (lines.size() == 1) {
        // A dotted leader carries the eye from a short question to its boxes.
        const int end = x + m_canvas.textWidth(lines.first(), font) + 60;
        if (yes.left - 60 - end > 120)
            m_canvas.dottedLine(end, yes.left - 60, first, m_style.line);
    }
    return first;
}

void CardArtist::yesNoHeadings(const QString &yesField, const QString &noField, int baseline)
{
    const QFont font = CardCanvas::font(10, true);
    const LayoutRow &yes = row(yesField);
    const LayoutRow &no = row(noField);
    m_canvas.drawText(u"YES"_s, yes.left + yes.width / 2, baseline, font, m_style.ink,
                      Qt::AlignHCenter);
    m_canvas.drawText(u"NO"_s, no.left + no.width / 2, baseline, font, m_style.ink,
                      Qt::AlignHCenter);
}

void CardArtist::bulletPanel(const QRect &area, const QString &heading,
                             const QStringList &bullets)
{
    m_canvas.fillRect(area, m_style.panel);
    const QFont headingFont = CardCanvas::font(12, true);
    const QFont font = CardCanvas::font(11);
    int baseline = area.top() + 90 + 2 * m_canvas.halfCapHeight(headingFont);
    m_canvas.drawText(heading, area.left() + 90, baseline, headingFont, m_style.ink);
    baseline += m_canvas.lineSpacing(headingFont) + 30;
    const int textLeft = area.left() + 210;
    for (const QString &bullet : bullets) {
        const QStringList lines = m_canvas.wrap(bullet, font, area.right() - 90 - textLeft);
        m_canvas.drawText(u"\u2022"_s, area.left() + 120, baseline, font, m_style.ink);
        m_canvas.drawLines(lines, textLeft, baseline, font, m_style.ink);
        baseline += int(lines.size()) * m_canvas.lineSpacing(font) + 24;
    }
}

void CardArtist::signatureBlock(int top, const QString &statement)
{
    const QFont font = CardCanvas::font(11);
    const QFont small = CardCanvas::font(10);
    const QStringList lines = m_canvas.wrap(statement, font, right() - left());
    const int first = top + 2 * m_canvas.halfCapHeight(font);
    m_canvas.drawLines(lines, left(), first, font, m_style.ink);
    const int lineY = first + int(lines.size()) * m_canvas.lineSpacing(font) + 330;
    const int split = left() + (right() - left()) * 64 / 100;
    m_canvas.horizontalLine(left(), split - 120, lineY, m_style.line, 2);
    m_canvas.horizontalLine(split, right(), lineY, m_style.line, 2);
    const int captionY = lineY + 60 + 2 * m_canvas.halfCapHeight(small);
    m_canvas.drawText(u"Signature"_s, left(), captionY, small, m_style.ink);
    m_canvas.drawText(u"Date (day / month / year)"_s, split, captionY, small, m_style.ink);
}

void CardArtist::officialUseBox(const QRect &area, const QStringList &cells)
{
    const QFont headingFont = CardCanvas::font(10, true);
    const QFont small = CardCanvas::font(9);
    const int headingBottom = area.top() + 150;
    m_canvas.fillRect(QRect(area.left(), area.top(), area.width(), 150), m_style.panel);
    m_canvas.frameRect(area, m_style.line, 2);
    m_canvas.drawText(u"FOR OFFICIAL USE ONLY"_s, area.left() + 90,
                      area.top() + 75 + m_canvas.halfCapHeight(headingFont), headingFont,
                      m_style.ink);
    m_canvas.fillRect(QRect(area.left(), headingBottom, area.width(), 12), m_style.line);
    const int count = int(cells.size());
    for (int i = 0; i < count; ++i) {
        const int cellLeft = area.left() + area.width() * i / count;
        if (i > 0)
            m_canvas.fillRect(QRect(cellLeft, headingBottom, 6, area.bottom() - headingBottom),
                              m_style.line);
        m_canvas.drawText(cells.at(i), cellLeft + 60,
                          headingBottom + 60 + 2 * m_canvas.halfCapHeight(small), small,
                          m_style.ink);
    }
}

void CardArtist::drawArrivalAndGoods(const QString &viaUs)
{
    caption(u"Airline"_s, Place::Above, u"Arriving by: airline"_s);
    groupHeading(u"TripStudy"_s, u"Purpose of trip"_s);
    tickLabel(u"TripStudy"_s, Qt::AlignLeft, captionFor(row(u"TripStudy"_s)));
    tickLabel(u"TripPersonal"_s, Qt::AlignLeft, captionFor(row(u"TripPersonal"_s)));
    tickLabel(u"TripBusiness"_s, Qt::AlignLeft, captionFor(row(u"TripBusiness"_s)));
    groupHeading(u"FromUSOnly"_s, u"Arriving from"_s);
    const int fromWidth = row(u"FromUSOnly"_s).left - LabelGap
                          - (row(u"TripStudy"_s).left + row(u"TripStudy"_s).width + 60);
    tickLabel(u"FromUSOnly"_s, Qt::AlignLeft, u"U.S. only"_s, fromWidth);
    tickLabel(u"FromOtherDirect"_s, Qt::AlignLeft, u"Other country direct"_s, fromWidth);
    tickLabel(u"FromViaUS"_s, Qt::AlignLeft, viaUs, fromWidth);

    const int headingY = row(u"FirearmsYes"_s).top - 36;
    m_canvas.drawText(u"I am / we are bringing into Canada:"_s, left(), headingY,
                      CardCanvas::font(12, true), m_style.ink);
    yesNoHeadings(u"FirearmsYes"_s, u"FirearmsNo"_s, headingY);
    const int indent = left() + 60;
    question(u"FirearmsYes"_s, indent, u"Firearms or other weapons"_s);
    question(u"CommercialYes"_s, indent,
             u"Goods related to my/our profession and/or commercial goods, whether or not "
             u"for resale (e.g. samples, tools, equipment)"_s);
    question(u"AnimalsYes"_s, indent,
             u"Animals, birds, insects, plants, soil, fruits, vegetables, meats, eggs, "
             u"dairy products, living organisms or vaccines"_s);
    question(u"EndangeredYes"_s, indent, u"Articles made or derived from endangered species"_s);
    question(u"ShippedYes"_s, left(), u"I/we have shipped goods which are not accompanying me/us"_s);
    question(u"FarmYes"_s, left(), u"I/we will visit a farm in Canada within the next 14 days"_s);
}

void CardArtist::drawCanada()
{
    titleBand(u"CANADA \u2014 Customs Declaration Card"_s, 210);
    const QFont bold = CardCanvas::font(12, true);
    const QString note =
        u"Print in capital letters. Travellers at the same address may share one card."_s;
    m_canvas.drawText(u"All travellers"_s, left(), 400, bold, m_style.ink);
    m_canvas.drawText(note, left(), 500, m_canvas.fittingFont(note, right() - left(), 11),
                      m_style.ink);

    drawFields();
    caption(u"Address"_s, Place::Above, u"Home address \u2014 number, street, town/city"_s);
    caption(u"Province"_s, Place::Above, u"Province or state"_s);
    caption(u"Country"_s, Place::Above);
    caption(u"PostalCode"_s, Place::Above, u"Postal/ZIP code"_s);
    caption(u"Name"_s, Place::Above, u"Last name, first name and initials"_s);
    caption(u"BirthYear"_s, Place::Left, u"Date of birth"_s);
    caption(u"BirthYear"_s, Place::Above, QString(), 10);
    caption(u"BirthMonth"_s, Place::Above, QString(), 10);
    caption(u"BirthDay"_s, Place::Above, QString(), 10);
    // The citizenship tick sits a little lower than the line beside it, so its
    // labels rise clear of that line's box.
    tickLabel(u"CitizenCanadian"_s, Qt::AlignLeft, u"Citizenship"_s, 0, 15);
    tickLabel(u"CitizenCanadian"_s, Qt::AlignRight, u"CANADIAN (if other, specify below)"_s,
              right() - row(u"CitizenCanadian"_s).left - 150, 15);

    bulletPanel(QRect(left(), 1400, right() - left(), 660), u"Before you fill in this card"_s,
                {u"Answer every question; tick YES or NO for each item."_s,
                 u"Declare all goods acquired abroad, whether bought, received as gifts or won."_s,
                 u"Keep your receipts: an officer may ask to see them."_s,
                 u"A false declaration may lead to seizure of goods and to penalties."_s});
    bulletPanel(QRect(left(), 2130, right() - left(), 520), u"Residents returning to Canada"_s,
                {u"You may qualify for a personal exemption after an absence of 24 hours or more."_s,
                 u"Goods above your exemption are subject to duty and taxes."_s});

    drawArrivalAndGoods(u"Other country via U.S."_s);

    signatureBlock(4330, u"I/we certify that the statements on this card are true and complete, "
                         u"and that all goods acquired abroad have been declared."_s);
    officialUseBox(QRect(left(), 5330, right() - left(), 760),
                   {u"Code"_s, u"Officer no."_s, u"Referral"_s, u"Time"_s});
}

void CardArtist::drawUs()
{
    titleBand(u"UNITED STATES \u2014 Customs Declaration"_s, 240);
    const QRect picture = m_canvas.pictureRect();
    m_canvas.drawText(u"Welcome to the United States"_s, picture.x() + picture.width() / 2, 610,
                      CardCanvas::font(15, true), m_style.line, Qt::AlignHCenter);
    // The instructions, then a shaded band that opens the numbered items.
    const QFont font = CardCanvas::font(11);
    m_canvas.drawLines(
        m_canvas.wrap(u"Each arriving traveler or responsible family member must provide the "
                      u"following information (only ONE written declaration per family is "
                      u"required). Please print in capital letters."_s,
                      font, right() - left()),
        left(), 780, font, m_style.ink);
    m_canvas.fillRect(QRect(picture.x(), 1140, picture.width(), 170), m_style.panel);
    const QFont heading = CardCanvas::font(12, true);
    m_canvas.drawText(u"Traveler information"_s, left(), 1225 + m_canvas.halfCapHeight(heading),
                      heading, m_style.line);

    drawFields();
    caption(u"FamilyName"_s, Place::Above, u"1  Family name"_s);
    caption(u"GivenName"_s, Place::Above, u"First (given) name"_s);
    caption(u"MiddleInitials"_s, Place::Above, u"Middle"_s);
    m_canvas.drawText(u"2  Birth date"_s, row(u"BirthDay"_s).left, 1680, font, m_style.ink);
    caption(u"BirthDay"_s, Place::Above, u"Day"_s, 10);
    caption(u"BirthMonth"_s, Place::Above, u"Month"_s, 10);
    caption(u"BirthYear"_s, Place::Above, u"Year"_s, 10);
    caption(u"FlightOrVessel"_s, Place::Above, u"3  Airline/flight no. or vessel name"_s);
    const LayoutRow &members = row(u"FamilyMembers"_s);
    m_canvas.drawLines({u"4  Family members"_s, u"traveling with you"_s},
                       members.left - LabelGap,
                       members.top + members.height - CardCanvas::TwipsPerPixel
                           - m_canvas.lineSpacing(font),
                       font, m_style.ink, Qt::AlignRight);
    caption(u"Citizenship"_s, Place::Above, u"5  Country of citizenship"_s);
    caption(u"CountryResidence"_s, Place::Above, u"6  Country of residence"_s);
    caption(u"USAddress"_s, Place::Above, u"7  U.S. street address (hotel name/destination)"_s);
    caption(u"USCity"_s, Place::Above, u"City"_s);
    caption(u"USState"_s, Place::Above, u"State"_s);
    caption(u"Visited1"_s, Place::Above,
            u"8  Countries visited on this trip prior to U.S. arrival"_s);
    caption(u"Visited1"_s, Place::Left, u"a"_s, 10);
    caption(u"Visited2"_s, Place::Left, u"b"_s, 10);
    caption(u"Visited3"_s, Place::Left, u"c"_s, 10);
    caption(u"Visited4"_s, Place::Left, u"d"_s, 10);

    // Numbered questions hang their text to the right of the number.
    const int hang = left() + 150;
    const QFont small = CardCanvas::font(10);
    const auto numbered = [&](const QString &number, const QString &yesField,
                              const QString &text) {
        m_canvas.drawText(number, left(), question(yesField, hang, text, 10), small, m_style.ink);
    };
    numbered(u"9"_s, u"TripBusiness"_s,
             u"The purpose of my (our) trip is (check one or both boxes):"_s);
    tickLabel(u"TripBusiness"_s, Qt::AlignRight, u"Business"_s);
    tickLabel(u"TripPersonal"_s, Qt::AlignRight, u"Personal"_s);
    numbered(u"10"_s, u"FoodYes"_s,
             u"I am (We are) bringing fruits, vegetables, plants, seeds, food, insects, meats, "
             u"animal or wildlife products, soil; or have been on a farm or ranch outside the "
             u"U.S."_s);
    numbered(u"11"_s, u"CurrencyYes"_s,
             u"I am (We are) carrying currency or monetary instruments over $10,000 U.S. or "
             u"foreign equivalent"_s);
    numbered(u"12"_s, u"MerchandiseYes"_s,
             u"I have (We have) commercial merchandise, U.S. or foreign"_s);
    for (const QString &answer : {u"Food"_s, u"Currency"_s, u"Merchandise"_s}) {
        tickLabel(answer + u"Yes"_s, Qt::AlignRight, u"Yes"_s);
        tickLabel(answer + u"No"_s, Qt::AlignRight, u"No"_s);
    }
    const LayoutRow &total = row(u"TotalValue"_s);
    const QStringList totalLines =
        m_canvas.wrap(u"Total value of all goods I/we purchased or acquired abroad and "
                      u"am/are bringing to the U.S.:"_s,
                      small, total.left - 300 - hang);
    const int totalFirst = total.top + total.height - CardCanvas::TwipsPerPixel
                           - int(totalLines.size() - 1) * m_canvas.lineSpacing(small);
    m_canvas.drawText(u"13"_s, left(), totalFirst, small, m_style.ink);
    m_canvas.drawLines(totalLines, hang, totalFirst, small, m_style.ink);
    caption(u"TotalValue"_s, Place::Left, u"$"_s, 12);

    signatureBlock(4760, u"I have read the important information on the reverse side of this "
                         u"card and have made a truthful declaration."_s);
    officialUseBox(QRect(left(), 5480, right() - left(), 720),
                   {u"Inspector"_s, u"Stamp"_s, u"Remarks"_s});
}

void CardArtist::drawCanadaBlue()
{
    titleBand(u"CANADA \u2014 Declaration Card"_s, 210);
    const QFont bold = CardCanvas::font(11, true);
    m_canvas.drawText(u"All travellers \u2014 please print in capital letters."_s,
                      left(), 490, bold, m_style.ink);

    drawFields();
    caption(u"Name"_s, Place::Above, u"Last name, first name and initials"_s);
    caption(u"BirthYear"_s, Place::Left, u"Date of birth"_s);
    caption(u"BirthYear"_s, Place::Below, QString(), 9);
    caption(u"BirthMonth"_s, Place::Below, QString(), 9);
    caption(u"BirthDay"_s, Place::Below, QString(), 9);
    caption(u"Citizenship"_s, Place::Left);

    bulletPanel(QRect(left(), 1060, right() - left(), 660), u"Before you fill in this card"_s,
                {u"Answer every question; tick YES or NO for each item in the list below."_s,
                 u"Declare all goods acquired abroad, whether bought, received as gifts or won."_s,
                 u"Keep your receipts: an officer may ask to see them."_s,
                 u"A false declaration may lead to seizure of goods and to penalties."_s});
    bulletPanel(QRect(left(), 1800, right() - left(), 470),
                u"Travellers living at the same address"_s,
                {u"They may be declared on one card; give your home address below."_s,
                 u"Each traveller remains responsible for the goods he or she declares."_s});

    caption(u"HomeAddress"_s, Place::Above, u"Home address \u2014 number, street"_s);
    caption(u"TownCity"_s, Place::Above);
    caption(u"Province"_s, Place::Above);
    caption(u"Country"_s, Place::Above);
    caption(u"PostalCode"_s, Place::Above, u"Postal/ZIP code"_s);

    drawArrivalAndGoods(u"Other country via the U.S."_s);

    signatureBlock(4330, u"I/we certify that the statements on this card are true and complete, "
                         u"and that all goods acquired abroad have been declared."_s);
    officialUseBox(QRect(left(), 5300, right() - left(), 760),
                   {u"Code"_s, u"Officer no."_s, u"Referral"_s, u"Time"_s});
}
