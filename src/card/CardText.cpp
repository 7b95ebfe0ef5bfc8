#include "CardText.h"

#include <algorithm>

using namespace Qt::StringLiterals;

const std::vector<qsizetype> &CardText::lineEnds() const
{
    if (!m_endsValid) {
        m_ends.clear();
        // The search starts at position 2, so a CR LF at the very start of
        // the text is never counted.
        for (qsizetype idx = m_str.indexOf(u"\r\n"_s, 1); idx >= 0;
             idx = m_str.indexOf(u"\r\n"_s, idx + 1))
            m_ends.push_back(idx);
        m_endsValid = true;
    }
    return m_ends;
}

qsizetype CardText::lineStart(int n) const
{
    if (n <= 1)
        return 3;
    const std::vector<qsizetype> &ends = lineEnds();
    const std::size_t breaks = std::size_t(n - 1);
    if (breaks > ends.size())
        return 0;
    return ends[breaks - 1] + 3;
}

qsizetype CardText::lineEnd(qsizetype start) const
{
    const qsizetype idx = start - 1 <= m_str.size() ? m_str.indexOf(u'\r', start - 1) : -1;
    return idx < 0 ? 0 : idx + 1;
}

qsizetype CardText::lineCount() const
{
    const std::vector<qsizetype> &ends = lineEnds();
    const qsizetype breaks = qsizetype(ends.size());
    return m_str.endsWith(u"\r\n"_s) ? breaks : breaks + 1;
}

static bool holdsLineBreak(QStringView text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

void CardText::replace(qsizetype start, qsizetype end, const QString &text)
{
    const qsizetype from = start - 1;
    const qsizetype oldLength = end - start;
    if (m_endsValid) {
        // Without a CR or LF on either side no line break appears or goes
        // (the span ends just before a CR), so the later ones only move.
        if (holdsLineBreak(QStringView(m_str).sliced(from, oldLength)) || holdsLineBreak(text)) {
            m_endsValid = false;
        } else {
            const qsizetype shift = text.size() - oldLength;
            for (auto it = std::lower_bound(m_ends.begin(), m_ends.end(), from + oldLength);
                 it != m_ends.end(); ++it)
                *it += shift;
        }
    }
    m_str.replace(from, oldLength, text);
}
