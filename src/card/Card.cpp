// The core of a card: its text forms, parsing a card string, and locating,
// reading and rewriting its lines.

#include "Card.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace {

// Only this many characters of a line are searched for fields 2 and up.
constexpr qsizetype kFieldScanLimit = 500;

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

// ---- Parsing -------------------------------------------------------------

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
    if (m_text.isEmpty())
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

bool Card::GetStartOfLinePxInFileStr()
{
    m_pxStart = m_text.lineStart(m_lineNum);
    if (m_pxStart == 0) {
        return fail(m_lineNum, u"is missing (the card text has only %1 lines)"_s
                                   .arg(m_text.lineCount()));
    }
    return true;
}

bool Card::GetStartOfLinePxInFileStr2()
{
    return GetStartOfLinePxInFileStr();
}

bool Card::GetEndOfLinePxInFileStr()
{
    const qsizetype end = m_text.lineEnd(m_pxStart);
    if (end == 0)
        return fail(m_lineNum, u"has no line end (CR)"_s);
    m_pxEnd = end;
    return true;
}

void Card::GetLine()
{
    m_line = m_text.slice(m_pxStart, m_pxEnd);
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

QString Card::StripQuotes(const QString &text)
{
    return text.size() <= 2 ? QString() : text.mid(1, text.size() - 2);
}

// ---- Rewriting lines -------------------------------------------------------

bool Card::replaceLine(int lineNumber, const QString &text)
{
    if (!FetchLine(lineNumber))
        return false;
    replaceCurrentLine(text);
    return true;
}

void Card::replaceCurrentLine(const QString &text)
{
    // Everything before the line and from its CR onwards stays as it is.
    m_text.replace(m_pxStart, m_pxEnd, text);
    m_line = text;
    m_pxEnd = m_pxStart + text.size();
}

bool Card::SaveValueToCardStr(const QString &ValToSave, int lineNumber,
                              const QString &TextAtBeginningOfLine)
{
    return replaceLine(lineNumber, TextAtBeginningOfLine + ValToSave);
}
