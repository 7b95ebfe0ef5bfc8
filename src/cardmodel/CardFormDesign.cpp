// The design commands: one box or the picture stepped by the typed increment.

#include "CardFormModel.h"

#include "Numbers.h"

using namespace Qt::StringLiterals;

QString CardFormModel::MoveCtrl(int box, const QString &command, const QString &step, bool moveOrSize)
{
    if (box < 0 || box >= BoxCount)
        return u"There is no answer box %1."_s.arg(box);
    const auto s16 = Numbers::toInt16(step);
    if (!s16 && Numbers::toDouble(step))
        return u"The move increment \"%1\" is outside -32768 to 32767 twips."_s.arg(step);
    if (!s16)
        return u"The move increment \"%1\" is not a whole number of twips."_s.arg(step);
    const float s = float(*s16);
    AnswerBoxState b = m_boxes[box];
    if (command == u"U"_s) {
        b.rect.top -= s;
    } else if (command == u"D"_s) {
        b.rect.top += s;
    } else if (command == u"L"_s) {
        if (moveOrSize) {
            b.rect.left -= s;
        } else {
            if (s >= b.rect.width)
                return u"The box is %1 twips wide; it cannot be made %2 twips narrower."_s
                    .arg(Numbers::formatSingle(b.rect.width)).arg(*s16);
            b.rect.width -= s;
        }
    } else if (command == u"R"_s) {
        if (moveOrSize) {
            b.rect.left += s;
        } else {
            if (-s >= b.rect.width)
                return u"The box is %1 twips wide; it cannot be made %2 twips narrower."_s
                    .arg(Numbers::formatSingle(b.rect.width)).arg(-*s16);
            b.rect.width += s;
        }
    } else {
        return {};
    }
    if (!Numbers::isTwip(b.rect.left) || !Numbers::isTwip(b.rect.top) || !Numbers::isTwip(b.rect.width))
        return boxOutOfRange(box);
    setBox(box, b);
    return {};
}

QString CardFormModel::MoveImage(const QString &command, const QString &step, bool moveOrSize)
{
    const auto s = Numbers::toDouble(step);
    if (!s)
        return u"The move increment \"%1\" is not a number."_s.arg(step);
    if (!Numbers::isTwip(*s) || !Numbers::isTwip(-*s))
        return u"The move increment \"%1\" is outside -32767 to 32767 twips."_s.arg(step);
    TwipRect p = m_picture;
    const auto grow = [&](float &size, double by, const QString &what) -> QString {
        const double result = double(size) + by;
        if (!(result > 0))
            return u"The picture is %1 twips %2; it cannot be made %3 twips smaller."_s
                .arg(Numbers::formatSingle(size), what, QString::number(-by));
        size = float(result);
        return {};
    };
    QString refused;
    if (command == u"D"_s) {
        if (moveOrSize)
            p.top = float(double(p.top) + *s);
        else
            refused = grow(p.height, *s, u"high"_s);
    } else if (command == u"U"_s) {
        if (moveOrSize)
            p.top = float(double(p.top) - *s);
        else
            refused = grow(p.height, -*s, u"high"_s);
    } else if (command == u"L"_s) {
        if (moveOrSize)
            p.left = float(double(p.left) - *s);
        else
            refused = grow(p.width, -*s, u"wide"_s);
    } else if (command == u"R"_s) {
        if (moveOrSize)
            p.left = float(double(p.left) + *s);
        else
            refused = grow(p.width, *s, u"wide"_s);
    } else {
        return {};
    }
    if (!refused.isEmpty())
        return refused;
    if (!Numbers::isTwip(p.left) || !Numbers::isTwip(p.top) || !Numbers::isTwip(p.width)
        || !Numbers::isTwip(p.height))
        return pictureOutOfRange();
    setPicture(p);
    return {};
}

QString CardFormModel::nudgeBox(int box, const QString &command, const QString &step, bool moveOrSize)
{
    const QString refused = MoveCtrl(box, command, step, moveOrSize);
    // While a box is edited, the picture arrows start from a snapshot that
    // knows where the design window put the box.
    if (m_editBox >= 0)
        SaveCntrlPxsPriorToMove();
    if (refused.isEmpty())
        setModified(true);
    return refused;
}

QString CardFormModel::nudgePicture(const QString &command, const QString &step, bool moveOrSize)
{
    const QString refused = MoveImage(command, step, moveOrSize);
    if (refused.isEmpty())
        setModified(true);
    return refused;
}

void CardFormModel::moveLayout(float down)
{
    TwipRect p = m_picture;
    p.top += down;
    setPicture(p);
    for (int i = 0; i < FollowingBoxes; ++i) {
        TwipRect r = m_boxes[i].rect;
        r.top += down;
        setBoxRect(i, r);
    }
    if (m_editBox >= 0)
        SaveCntrlPxsPriorToMove();
    setModified(true);
}
