// The banks of the card: the picture rectangle, the two box layouts, the
// answers and the questions; read by the loaders and written back by a save.

#include "Card.h"

#include "CardErrorText.h"
#include "Numbers.h"

#include <QHash>
#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;
using CardErrorText::quoted;
using CardErrorText::twipRangeText;

QString Card::answerLineText(const QString &answer)
{
    QString text = answer;
    text.remove(u'\r');
    text.remove(u'\n');
    if (text.startsWith(u'"'))
        text = u'"' + text + u'"';
    return text;
}

QString Card::answerOfLine(const QString &line)
{
    const QString answer = GetTextAfterComma(2, line);
    return answer.startsWith(u'"') ? StripQuotes(answer) : answer;
}

// ---- Loading ---------------------------------------------------------------

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
        if (m_pxStart >= 2 && m_pxStart < m_pxEnd && m_text.str().at(m_pxStart - 1) == u'\n'
            && m_text.str().at(m_pxStart - 2) == u'\r') {
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
