#include "Card.h"

#include "AtomicFile.h"
#include "CardFileEnvelope.h"
#include "Cp1252.h"
#include "Numbers.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStandardPaths>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Only this many characters of a line are searched for fields 2 and up.
constexpr qsizetype kFieldScanLimit = 500;

QString quoted(const QString &text)
{
    QString shown = text;
    if (shown.size() > 40)
        shown = shown.left(40) + u"..."_s;
    return u"\""_s + shown + u"\""_s;
}

QString twipRangeText()
{
    return u"-32768 to 32767 twips"_s;
}

} // namespace

QString CardError::message() const
{
    const QString name = QDir::toNativeSeparators(file);
    if (line > 0)
        return u"%1: line %2: %3"_s.arg(name).arg(line).arg(reason);
    return u"%1: %2"_s.arg(name, reason);
}

bool Card::fail(int line, const QString &reason)
{
    m_lastError = CardError{m_cardName, line, reason};
    return false;
}

QString Card::flagText(bool value)
{
    return value ? u"True"_s : u"False"_s;
}

bool Card::readFlag(const QString &text)
{
    return text.toUpper() == u"TRUE"_s;
}

QString Card::answerLineText(const QString &answer)
{
    QString text = answer;
    text.remove(u'\r');
    text.remove(u'\n');
    if (text.startsWith(u'"'))
        text = u'"' + text + u'"';
    return text;
}

QString Card::designCopyPath(const QString &title)
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return base + u"/Borvessa/Cards/Design/"_s + title + u".csv"_s;
}

// ---- Loading ---------------------------------------------------------------

bool Card::LoadCard(const QString &path)
{
    Card next = *this;
    next.m_cardName = path;
    next.m_lastError = {};

    QByteArray bytes;
    QString reason;
    if (!CardFileEnvelope::readCardFile(path, &bytes, &reason)) {
        m_lastError = CardError{path, 0, reason};
        return false;
    }
    next.setCardStr(Cp1252::decode(bytes));
    if (!next.loadBody()) {
        m_lastError = next.m_lastError;
        return false;
    }
    *this = std::move(next);
    return true;
}

bool Card::LoadCardFromStr(const QString &cardStr)
{
    Card next = *this;
    next.m_lastError = {};
    next.setCardStr(cardStr);
    if (!next.loadBody()) {
        m_lastError = next.m_lastError;
        return false;
    }
    *this = std::move(next);
    return true;
}

bool Card::loadBody()
{
    if (m_cardStr.isEmpty())
        return fail(0, u"the card text is empty"_s);
    if (!loadSettings())
        return false;
    GetTruthTable();
    const std::int16_t flags = m_loadTruthTable;
    if ((flags & BankDesignAnswers) && !LoadAnswers(FirstDesignAnswer, LastDesignAnswer))
        return false;
    if ((flags & BankAnswers) && !LoadAnswers(FirstAnswer, LastAnswer))
        return false;
    if ((flags & BankInstalledPicture) && !LoadCardPx(LineInstalledPicture))
        return false;
    if ((flags & BankCurrentPicture) && !LoadCardPx(LineCurrentPicture))
        return false;
    if ((flags & BankInstalledLayout)
        && !LoadControlPositions(FirstInstalledControl, LastInstalledControl))
        return false;
    if ((flags & BankCurrentLayout)
        && !LoadControlPositions(FirstCurrentControl, LastCurrentControl))
        return false;
    return LoadQuestions();
}

bool Card::loadSettings()
{
    return GetDesignMode() && GetOrientation() && GetPaperSize() && GetLeftPrintMargin()
        && GetEnlargeFactor() && GetFontSizeForPrting() && GetFontForPrting();
}

void Card::GetTruthTable()
{
    if (m_varRestCard)
        m_loadTruthTable = BankInstalledPicture | BankInstalledLayout;
    else if (m_designMode)
        m_loadTruthTable = BankDesignAnswers | BankCurrentPicture | BankCurrentLayout;
    else
        m_loadTruthTable = BankAnswers | BankCurrentPicture | BankCurrentLayout;
}

// ---- Line access -----------------------------------------------------------

const std::vector<qsizetype> &Card::lineEnds()
{
    if (!m_lineEndsValid) {
        m_lineEnds.clear();
        // The search starts at position 2, so a CR LF at the very start of
        // the string is never counted.
        for (qsizetype idx = m_cardStr.indexOf(u"\r\n"_s, 1); idx >= 0;
             idx = m_cardStr.indexOf(u"\r\n"_s, idx + 1))
            m_lineEnds.push_back(idx);
        m_lineEndsValid = true;
    }
    return m_lineEnds;
}

bool Card::GetStartOfLinePxInFileStr()
{
    // Line n begins after the (n - 1)-th counted CR LF; line 1 (and below)
    // at position 3.
    if (m_lineNum <= 1) {
        m_pxStart = 3;
        return true;
    }
    const std::vector<qsizetype> &ends = lineEnds();
    const std::size_t breaks = std::size_t(m_lineNum - 1);
    if (breaks > ends.size()) {
        // The text after the last line end is one more line unless it is empty.
        const std::size_t lines = m_cardStr.endsWith(u"\r\n"_s) ? ends.size() : ends.size() + 1;
        return fail(m_lineNum, u"is missing (the card text has only %1 lines)"_s.arg(lines));
    }
    m_pxStart = ends[breaks - 1] + 3;
    return true;
}

bool Card::GetStartOfLinePxInFileStr2()
{
    return GetStartOfLinePxInFileStr();
}

bool Card::GetEndOfLinePxInFileStr()
{
    const qsizetype idx = m_pxStart - 1 <= m_cardStr.size()
        ? m_cardStr.indexOf(u'\r', m_pxStart - 1)
        : -1;
    if (idx < 0)
        return fail(m_lineNum, u"has no line end (CR)"_s);
    m_pxEnd = idx + 1;
    return true;
}

void Card::GetLine()
{
    m_line = m_cardStr.mid(m_pxStart - 1, m_pxEnd - m_pxStart);
}

bool Card::FetchLine(int lineNumber)
{
    m_lineNum = lineNumber;
    if (!GetStartOfLinePxInFileStr() || !GetEndOfLinePxInFileStr())
        return false;
    GetLine();
    return true;
}

bool Card::FetchLine2()
{
    if (!GetEndOfLinePxInFileStr())
        return false;
    GetLine();
    m_pxStart = m_pxEnd + 2;
    return true;
}

void Card::GetField(int k)
{
    if (k <= 1) {
        const qsizetype comma = m_line.indexOf(u',');
        m_field = comma < 0 ? m_line : m_line.left(comma);
        return;
    }
    const QStringView scan = QStringView(m_line).left(kFieldScanLimit);
    qsizetype pos = -1;
    for (int c = 0; c < k - 1; ++c) {
        pos = scan.indexOf(u',', pos + 1);
        if (pos < 0) {
            m_field.clear();
            return;
        }
    }
    const qsizetype end = scan.indexOf(u',', pos + 1);
    m_field = (end < 0 ? scan.mid(pos + 1) : scan.mid(pos + 1, end - pos - 1)).toString();
}

QString Card::GetTextAfterComma(int n, const QString &text)
{
    int count = 0;
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) == u',' && ++count == n)
            return text.mid(i + 1);
    }
    return {};
}

QString Card::answerOfLine(const QString &line)
{
    const QString answer = GetTextAfterComma(2, line);
    return answer.startsWith(u'"') ? StripQuotes(answer) : answer;
}

QString Card::StripQuotes(const QString &text)
{
    return text.size() <= 2 ? QString() : text.mid(1, text.size() - 2);
}

// ---- Settings --------------------------------------------------------------

bool Card::readValue(int lineNumber, int column, QString *value)
{
    if (!FetchLine(lineNumber))
        return false;
    *value = m_line.mid(column - 1);
    return true;
}

bool Card::GetDesignMode()
{
    QString v;
    if (!readValue(LineDesignMode, 12, &v))
        return false;
    m_designMode = readFlag(v);
    return true;
}

bool Card::GetOrientation()
{
    if (!FetchLine(LineOrientation))
        return false;
    m_cardOrient = m_line.mid(12, 1);
    return true;
}

bool Card::GetPaperSize()
{
    QString v;
    if (!readValue(LinePaperHeight, 9, &v))
        return false;
    const auto height = Numbers::toInt32(v);
    if (!height)
        return fail(LinePaperHeight, u"the paper height %1 is not a whole number"_s.arg(quoted(v)));
    if (!readValue(LinePaperWidth, 11, &v))
        return false;
    const auto width = Numbers::toInt32(v);
    if (!width)
        return fail(LinePaperWidth, u"the paper width %1 is not a whole number"_s.arg(quoted(v)));
    m_paperHt = *height;
    m_paperWdth = *width;
    return true;
}

bool Card::GetLeftPrintMargin()
{
    QString v;
    if (!readValue(LineLeftMargin, 17, &v))
        return false;
    const auto margin = Numbers::toInt16(v);
    if (!margin)
        return fail(LineLeftMargin, u"the left print margin %1 is not a whole number from -32768 to 32767"_s.arg(quoted(v)));
    m_varLeftPrintMargin = *margin;
    return true;
}

bool Card::GetEnlargeFactor()
{
    QString v;
    if (!readValue(LineEnlarge, 15, &v))
        return false;
    const auto factor = Numbers::toSingle(v);
    if (!factor)
        return fail(LineEnlarge, u"the enlargement factor %1 is not a number"_s.arg(quoted(v)));
    m_varEnlarge = *factor;
    return true;
}

bool Card::GetFontSizeForPrting()
{
    QString v;
    if (!readValue(LineFontSize, 10, &v))
        return false;
    const auto size = Numbers::toSingle(v);
    if (!size)
        return fail(LineFontSize, u"the print font size %1 is not a number"_s.arg(quoted(v)));
    m_varFontSize = *size;
    return true;
}

bool Card::GetFontForPrting()
{
    return readValue(LineFontName, 10, &m_varFont);
}

// ---- Banks -----------------------------------------------------------------

bool Card::LoadCardPx(int firstLine)
{
    float values[4] = {};
    for (int i = 0; i < 4; ++i) {
        if (!FetchLine(firstLine + i))
            return false;
        const qsizetype comma = m_line.indexOf(u',');
        const QString text = comma < 0 ? m_line : m_line.mid(comma + 1);
        const auto v = Numbers::toSingle(text);
        if (!v)
            return fail(firstLine + i, u"the picture value %1 is not a number"_s.arg(quoted(text)));
        if (!Numbers::isTwip(*v))
            return fail(firstLine + i, u"the picture value %1 is outside %2"_s.arg(quoted(text), twipRangeText()));
        values[i] = *v;
    }
    m_imageTop = values[0];
    m_imageLeft = values[1];
    m_imageWidth = values[2];
    m_imageHeight = values[3];
    return true;
}

bool Card::readBoxNumber(const QString &text, int lineNumber, std::int16_t *box)
{
    const auto n = Numbers::toInt16(text);
    if (!n)
        return fail(lineNumber, u"%1 is not a box number"_s.arg(quoted(text)));
    if (*n < 0 || *n > MaxBox)
        return fail(lineNumber, u"box number %1 is outside 0 to %2"_s.arg(*n).arg(MaxBox));
    *box = *n;
    return true;
}

bool Card::LoadControlPositions(int FirstLine, int LastLine)
{
    m_lineNum = FirstLine;
    if (!GetStartOfLinePxInFileStr2())
        return false;
    m_colCardCtrls.clear();
    for (int L = FirstLine; L <= LastLine; ++L) {
        m_lineNum = L;
        if (!LoadControlLine())
            return false;
    }
    return true;
}

bool Card::LoadControlLine()
{
    m_fldQty = 11;
    if (!FetchLine2())
        return false;
    if (m_line.size() <= m_fldQty + 4)
        return true;

    GetField(1);
    const QString key = m_field;
    std::int16_t box = 0;
    if (!readBoxNumber(key, m_lineNum, &box))
        return false;
    CardCtrl *c = m_colCardCtrls.Add(key, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, key);
    if (!c)
        return fail(m_lineNum, u"box %1 is described twice in this layout"_s.arg(key));
    QString *targets[] = {&c->fldText, &c->height, &c->left_c, &c->top_r, &c->wdth,
                          &c->backcolor, &c->fontName, &c->fontsize, &c->visible, &c->tabOrder};
    for (int k = 2; k <= 11; ++k) {
        GetField(k);
        *targets[k - 2] = m_field;
    }

    // The window converts these when it builds the box; refuse a card it
    // could not build.
    const struct { const QString *value; const char *name; bool whole; } checks[] = {
        {&c->height, "height", false}, {&c->left_c, "left", false},
        {&c->top_r, "top", false},     {&c->wdth, "width", false},
        {&c->tabOrder, "tab order", true},
    };
    for (const auto &check : checks) {
        const bool ok = check.whole ? Numbers::toInt16(*check.value).has_value()
                                    : Numbers::toSingle(*check.value).has_value();
        if (!ok)
            return fail(m_lineNum, u"the %1 %2 of box %3 is not a number"_s
                                       .arg(QLatin1StringView(check.name), quoted(*check.value), key));
    }
    for (const auto &check : checks) {
        if (!check.whole && !Numbers::isTwip(*Numbers::toSingle(*check.value)))
            return fail(m_lineNum, u"the %1 %2 of box %3 is outside %4"_s
                                       .arg(QLatin1StringView(check.name), quoted(*check.value), key,
                                            twipRangeText()));
    }
    if (!Numbers::toInt16(c->left_c))
        return fail(m_lineNum, u"the left %1 of box %2 is outside %3"_s.arg(quoted(c->left_c), key, twipRangeText()));
    if (!Numbers::toInt32(c->backcolor))
        return fail(m_lineNum, u"the colour %1 of box %2 is not a whole number"_s.arg(quoted(c->backcolor), key));
    return true;
}

bool Card::LoadAnswers(int FirstLine, int LastLine)
{
    m_lineNum = FirstLine;
    if (!GetStartOfLinePxInFileStr2())
        return false;
    for (int L = FirstLine; L <= LastLine; ++L) {
        m_lineNum = L;
        if (!GetAnsw(L))
            return false;
    }
    return true;
}

bool Card::GetAnsw(int lineNumber)
{
    Q_UNUSED(lineNumber);
    if (!FetchLine2())
        return false;
    if (!m_line.contains(u','))
        return true;
    m_answer = answerOfLine(m_line);
    m_field = m_line.left(m_line.indexOf(u','));
    if (m_answer.isEmpty())
        return true;
    std::int16_t box = 0;
    if (!readBoxNumber(m_field, m_lineNum, &box))
        return false;
    if (!m_colAnsws.Add(box, m_answer, m_field))
        return fail(m_lineNum, u"a second answer for box %1"_s.arg(m_field));
    return true;
}

bool Card::LoadQuestions()
{
    m_lineNum = FirstQuestion;
    if (!GetStartOfLinePxInFileStr2())
        return false;
    m_colQuests.clear();
    for (int L = FirstQuestion; L <= LastQuestion; ++L) {
        m_lineNum = L;
        if (!GetQuest(L))
            return false;
    }
    return true;
}

bool Card::GetQuest(int lineNumber)
{
    Q_UNUSED(lineNumber);
    if (!FetchLine2())
        return false;
    if (!m_line.contains(u','))
        return true;
    m_question = GetTextAfterComma(1, m_line);
    if (m_question.startsWith(u'"'))
        m_question = StripQuotes(m_question);
    m_field = m_line.left(m_line.indexOf(u','));
    if (m_question.isEmpty())
        return true;
    std::int16_t box = 0;
    if (!readBoxNumber(m_field, m_lineNum, &box))
        return false;
    if (!m_colQuests.Add(box, m_question, m_field))
        return fail(m_lineNum, u"a second question for box %1"_s.arg(m_field));
    return true;
}

// ---- Saving ----------------------------------------------------------------

bool Card::replaceLine(int lineNumber, const QString &text)
{
    if (!FetchLine(lineNumber))
        return false;
    replaceCurrentLine(text);
    return true;
}

static bool holdsLineBreak(QStringView text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

void Card::replaceCurrentLine(const QString &text)
{
    // Everything before the line and from its CR onwards stays as it is.
    const qsizetype start = m_pxStart - 1;
    const qsizetype oldLength = m_pxEnd - m_pxStart;
    if (m_lineEndsValid) {
        // Without a CR or LF on either side no line break appears or goes
        // (the line ends just before a CR), so the later ones only move.
        if (holdsLineBreak(QStringView(m_cardStr).sliced(start, oldLength)) || holdsLineBreak(text)) {
            m_lineEndsValid = false;
        } else {
            const qsizetype shift = text.size() - oldLength;
            for (auto it = std::lower_bound(m_lineEnds.begin(), m_lineEnds.end(), start + oldLength);
                 it != m_lineEnds.end(); ++it)
                *it += shift;
        }
    }
    m_cardStr.replace(start, oldLength, text);
    m_line = text;
    m_pxEnd = m_pxStart + text.size();
}

bool Card::SaveValueToCardStr(const QString &ValToSave, int lineNumber,
                              const QString &TextAtBeginningOfLine)
{
    return replaceLine(lineNumber, TextAtBeginningOfLine + ValToSave);
}

bool Card::SaveCardLocToCardStr()
{
    return SaveValueToCardStr(Numbers::formatSingle(m_imageHeight), 39, u"ImageHt,"_s)
        && SaveValueToCardStr(Numbers::formatSingle(m_imageLeft), 37, u"ImagePxLeft,"_s)
        && SaveValueToCardStr(Numbers::formatSingle(m_imageTop), 36, u"ImagePxTop,"_s)
        && SaveValueToCardStr(Numbers::formatSingle(m_imageWidth), 38, u"ImageWidth,"_s);
}

bool Card::SaveCardLocToCardStr_Default()
{
    return SaveValueToCardStr(Numbers::formatSingle(m_imageHeight), 23, u"ImageHt,"_s)
        && SaveValueToCardStr(Numbers::formatSingle(m_imageLeft), 21, u"ImagePxLeft,"_s)
        && SaveValueToCardStr(Numbers::formatSingle(m_imageTop), 20, u"ImagePxTop,"_s)
        && SaveValueToCardStr(Numbers::formatSingle(m_imageWidth), 22, u"ImageWidth,"_s);
}

bool Card::Save_UseDefaultVals_Setting()
{
    return replaceLine(LineUseDefault, u"UseDefaultSettings,"_s + flagText(m_useDefaultVals));
}

bool Card::SetDesignModeValInCardStr()
{
    return replaceLine(LineDesignMode, u"DesignMode,"_s + flagText(m_designMode));
}

bool Card::ToggleDesignMode()
{
    m_designMode = !m_designMode;
    return SetDesignModeValInCardStr();
}

bool Card::SaveCardOrientation()
{
    return replaceLine(LineOrientation, u"Orientation,"_s + m_cardOrient);
}

int Card::bankLineBox(const QString &line, bool answerBank)
{
    // The same tests the loaders make before they read a box number.
    if (answerBank ? !line.contains(u',') : line.size() <= 15)
        return -1;
    const qsizetype comma = line.indexOf(u',');
    const auto n = Numbers::toInt16(comma < 0 ? line : line.left(comma));
    return n && *n >= 0 && *n <= MaxBox ? *n : -1;
}

bool Card::bankTargets(int first, int last, bool answerBank, const QList<int> &boxes,
                       QList<BankLine> *lines, QHash<int, int> *targets, QList<int> *others)
{
    // The bank is walked the way the loaders walk it, so every line is the
    // one the next load reads. A box is written back at the line that
    // describes it, so a bank whose lines are out of order keeps one line per
    // box and every label stays with its box; of several lines for one box
    // (keys "3" and "03"), the one whose key is the number as written, and
    // the others are written too (see writeBank). A box without a line takes
    // its own position unless a box keeps that line, else the first line
    // that no box keeps.
    m_lineNum = first;
    if (!GetStartOfLinePxInFileStr2())
        return false;
    QHash<int, int> home;
    QHash<int, int> homeRank; // higher is better
    QSet<int> taken;
    for (int L = first; L <= last; ++L) {
        m_lineNum = L;
        const qsizetype start = m_pxStart;
        if (!FetchLine2())
            return false;
        const int box = bankLineBox(m_line, answerBank);
        const bool hasAnswer = answerBank && box >= 0 && !answerOfLine(m_line).isEmpty();
        lines->append({start, m_pxEnd, box, hasAnswer});
        if (box < 0)
            continue;
        // A line that holds a layout or an answer is never taken for another box.
        if (!answerBank || hasAnswer)
            taken.insert(L - first);
        GetField(1);
        const int rank = (m_field == QString::number(box) ? 2 : 0) + (hasAnswer ? 1 : 0);
        if (!home.contains(box) || rank > homeRank.value(box)) {
            home.insert(box, L - first);
            homeRank.insert(box, rank);
        }
    }
    for (const int index : std::as_const(home))
        taken.insert(index);
    const int count = last - first + 1;
    for (const int box : boxes) {
        int index = home.value(box, -1);
        if (index < 0) {
            if (box < count && !taken.contains(box)) {
                index = box;
            } else {
                for (int i = 0; i < count && index < 0; ++i) {
                    if (!taken.contains(i) && lines->at(i).box < 0)
                        index = i;
                }
                for (int i = 0; i < count && index < 0; ++i) {
                    if (!taken.contains(i))
                        index = i;
                }
            }
            if (index < 0)
                return fail(first, u"the bank has no free line for box %1"_s.arg(box));
            taken.insert(index);
        }
        targets->insert(box, index);
    }
    // Another line for a box just written is read as well: the window takes
    // the last layout line of a box, and every answer line that holds one.
    for (int i = 0; i < count; ++i) {
        const BankLine &l = lines->at(i);
        if ((!answerBank || l.hasAnswer) && targets->contains(l.box) && targets->value(l.box) != i)
            others->append(i);
    }
    return true;
}

bool Card::writeBank(int first, int last, bool answerBank, const QList<int> &boxes,
                     const std::function<QString(int box)> &values)
{
    QList<BankLine> lines;
    QHash<int, int> targets;
    QList<int> others;
    if (!bankTargets(first, last, answerBank, boxes, &lines, &targets, &others))
        return false;
    // From the last line up, so the places of the lines still to write stay.
    struct Write
    {
        int index;
        int box;
        bool other; // keeps its key; an answer line is emptied
        bool operator>(const Write &w) const { return index > w.index; }
    };
    QList<Write> order;
    for (auto it = targets.cbegin(); it != targets.cend(); ++it)
        order.append({it.value(), it.key(), false});
    for (const int index : std::as_const(others))
        order.append({index, lines.at(index).box, true});
    std::sort(order.begin(), order.end(), std::greater<>());
    for (const Write &w : std::as_const(order)) {
        m_lineNum = first + w.index;
        m_pxStart = lines.at(w.index).start;
        m_pxEnd = lines.at(w.index).end;
        GetLine();
        GetField(2);
        const QString label = m_field;
        GetField(1);
        QString key = m_field;
        // After a lone CR the walk can start a line on the LF of a CR LF;
        // that LF stays, or every later line would move.
        if (m_pxStart >= 2 && m_pxStart < m_pxEnd && m_cardStr.at(m_pxStart - 1) == u'\n'
            && m_cardStr.at(m_pxStart - 2) == u'\r') {
            ++m_pxStart;
            if (key.startsWith(u'\n'))
                key = key.mid(1);
        }
        // The box's own line takes the key as written. Another line of the
        // box keeps its key, so that no key repeats: a layout line gets the
        // same values, so the window, which reads a box's last line, finds
        // them whichever line that is; an answer line loses its answer.
        if (!w.other)
            key = QString::number(w.box);
        const QString rest = w.other && answerBank ? QString() : values(w.box);
        replaceCurrentLine(key + u',' + label + u',' + rest);
    }
    return true;
}

bool Card::SaveControlValuesToCardStr()
{
    QList<int> boxes;
    for (int i = 0; i <= m_lastCntrl && i <= m_saveEnd - m_saveStart; ++i) {
        if (m_colCardCtrls.Item(QString::number(i)))
            boxes.append(i); // a hidden box below the highest visible one keeps its line
    }
    return writeBank(m_saveStart, m_saveEnd, false, boxes, [this](int i) {
        const CardCtrl *c = m_colCardCtrls.Item(QString::number(i));
        return QStringList{c->height, c->left_c, c->top_r, c->wdth, c->backcolor,
                           c->fontName, c->fontsize, c->visible, c->tabOrder}
            .join(u',');
    });
}

bool Card::SaveAnwsersToCardStr()
{
    QList<int> boxes;
    for (int i = 0; i <= m_lastCntrl && i <= LastAnswer - FirstAnswer; ++i) {
        if (m_colAnsws.Item(QString::number(i)))
            boxes.append(i); // a hidden box below the highest visible one keeps its line
    }
    return writeBank(FirstAnswer, LastAnswer, true, boxes, [this](int i) {
        return answerLineText(m_colAnsws.Item(QString::number(i))->Answ);
    });
}

bool Card::SaveCardStrToFile()
{
    m_saveWarning.clear();
    if (m_designMode) {
        const QString title = m_varCardTitle.isEmpty() ? QFileInfo(m_cardName).completeBaseName()
                                                       : m_varCardTitle;
        const QString path = designCopyPath(title);
        QString reason = u"cannot be written: its folder cannot be made"_s;
        // The copy holds the answers in plain text: for the user's eyes only,
        // however an older copy was set.
        const bool written = QDir().mkpath(QFileInfo(path).absolutePath())
            && AtomicFile::write(path, Cp1252::encode(m_cardStr), &reason,
                                 QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        if (!written) {
            m_saveWarning = u"The design copy %1 %2. The card file is saved all the same."_s
                                .arg(QDir::toNativeSeparators(path), reason);
        }
    }
    return EncryptFileStr();
}

bool Card::EncryptFileStr()
{
    const QChar bad = Cp1252::firstUnencodable(m_cardStr);
    if (!bad.isNull()) {
        return fail(0, u"the card text holds the character U+%1, which a card file cannot store"_s
                           .arg(uint(bad.unicode()), 4, 16, QChar(u'0')));
    }
    QString reason;
    if (!CardFileEnvelope::writeCardFile(m_cardName, Cp1252::encode(m_cardStr), &reason))
        return fail(0, reason);
    return true;
}
