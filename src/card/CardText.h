#pragma once

#include <QString>

#include <vector>

// The text of one card with an index of its line breaks. Positions are
// 1-based. A line ends just before a CR of a CR LF pair, and only pairs whose
// CR stands at position 2 or later count, so line n begins after the
// (n - 1)-th of them. The index is built when a line is first located and
// kept valid by replace(), so a save's many whole-line rewrites do not scan
// the text again.
class CardText
{
public:
    const QString &str() const { return m_str; }
    void setStr(const QString &text)
    {
        m_str = text;
        m_endsValid = false;
    }
    bool isEmpty() const { return m_str.isEmpty(); }

    // Where line n begins; 3 for line 1 (and below), 0 when the text has
    // fewer than n - 1 counted line breaks.
    qsizetype lineStart(int n) const;
    // The position of the first CR at or after start; 0 when there is none.
    qsizetype lineEnd(qsizetype start) const;
    // The characters from start up to, not including, end.
    QString slice(qsizetype start, qsizetype end) const
    {
        return m_str.mid(start - 1, end - start);
    }
    // The number of lines: the counted line breaks, and one more when text
    // follows the last of them.
    qsizetype lineCount() const;

    // Replaces the characters from start up to end (a line's CR) with text;
    // every other character stays as it was.
    void replace(qsizetype start, qsizetype end, const QString &text);

private:
    // The 0-based positions of the CRs of the counted line breaks, in order.
    const std::vector<qsizetype> &lineEnds() const;

    QString m_str;
    mutable std::vector<qsizetype> m_ends;
    mutable bool m_endsValid = false;
};
