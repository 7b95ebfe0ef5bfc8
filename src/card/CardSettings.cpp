// The fixed setting lines of the card: design mode, orientation, paper size,
// margin, enlargement and print font, read at every load and some of them
// rewritten by a save or a mode switch.

#include "Card.h"

#include "CardErrorText.h"
#include "Numbers.h"

using namespace Qt::StringLiterals;
using CardErrorText::quoted;

bool Card::loadSettings()
{
    return GetDesignMode() && GetOrientation() && GetPaperSize() && GetLeftPrintMargin()
        && GetEnlargeFactor() && GetFontSizeForPrting() && GetFontForPrting();
}

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
