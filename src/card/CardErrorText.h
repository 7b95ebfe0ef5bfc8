#pragma once

#include <QString>

// Pieces of the reasons the card gives when a value of its text is refused.
namespace CardErrorText {

// A value as a reason quotes it: in double quotes, cut after 40 characters.
inline QString quoted(const QString &text)
{
    QString shown = text;
    if (shown.size() > 40)
        shown = shown.left(40) + QStringLiteral("...");
    return QStringLiteral("\"") + shown + QStringLiteral("\"");
}

inline QString twipRangeText()
{
    return QStringLiteral("-32768 to 32767 twips");
}

} // namespace CardErrorText
