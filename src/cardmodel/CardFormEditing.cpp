// The edit configuration of the focused box: enlarged, tinted and kept
// inside the picture, while its place at rest stays what saving and printing
// read.

#include "CardFormModel.h"

#include "Numbers.h"

#include <cmath>

using namespace Qt::StringLiterals;

void CardFormModel::SaveControl()
{
    // The recorded look is the box at rest, which the edit configuration only
    // lies over; its colour is kept as PreserveColor.
    m_preserveColor = m_boxes[m_curEditCtrl].backColor;
}

float CardFormModel::recordedWidth(int index) const
{
    // The width the card records for this box, looked up by the box's number
    // (a lookup by position would find another box as soon as the list has a
    // gap); without a card entry, the box's own width.
    if (m_card) {
        if (const CardCtrl *c = m_card->colCardCtrls().Item(QString::number(index))) {
            if (const auto w = Numbers::toSingle(c->wdth))
                return *w;
        }
    }
    return m_boxes[index].rect.width;
}

AnswerBoxState CardFormModel::editLook(int index) const
{
    const AnswerBoxState &rest = m_boxes[index];
    AnswerBoxState b = rest;
    b.flat = true;
    b.backColor = EditColor;
    b.rect.height = EditHeight;
    b.rect.width = std::max(2 * recordedWidth(index), MinEditWidth);
    // Lifted by what it grew, so its bottom stays where the box's is at rest.
    b.rect.top = rest.rect.top - (EditHeight - NormalHeight);
    if (b.rect.width > MaxEditWidth)
        b.rect.width = MaxEditWidth;
    b.fontName = u"Small Fonts"_s;
    b.fontSize = EditFontSize;
    if (fields().isTick(index)) {
        // A tick box grows into a larger square round its own centre, so its
        // mark stays over the square on the card.
        const float side = EditHeight;
        b.rect = {rest.rect.left + rest.rect.width / 2 - side / 2, rest.rect.top + rest.rect.height / 2 - side / 2,
                  side, side};
    }
    b.rect.left = keptInside(b.rect.left, b.rect.width, m_picture.left + m_picture.width);
    return b;
}

void CardFormModel::ConfigCtrlForEditing()
{
    // The recorded look must be the box's normal one, never an enlarged box.
    if (m_editBox >= 0) {
        const int current = m_curEditCtrl;
        RestoreControl();
        m_curEditCtrl = current;
    }
    SaveControl();
    // Whatever height the card gave it, a box that has been edited stands
    // NormalHeight high at rest, and flat; a tick box keeps its square, where
    // its mark prints.
    if (!fields().isTick(m_curEditCtrl))
        m_boxes[m_curEditCtrl].rect.height = NormalHeight;
    m_boxes[m_curEditCtrl].flat = true;
    m_questionLine = m_boxes[m_curEditCtrl].tag;
    m_txtAns = m_boxes[m_curEditCtrl].text;
    m_editBox = m_curEditCtrl;
    m_editLook = editLook(m_curEditCtrl);
    Q_EMIT boxChanged(m_curEditCtrl);
    updateMarks();
    Q_EMIT boxRaised(m_curEditCtrl);
    Q_EMIT boxSelectAll(m_curEditCtrl, true);

    m_questionLine = questionFor(m_curEditCtrl);
    Q_EMIT questionChanged(m_questionLine);
}

float CardFormModel::keptInside(float left, float width, float pictureRight)
{
    // The box moves left in steps of KeepInsideStep until its right end no
    // longer lies past the picture's. The steps are counted first, so the
    // work is bounded however far off the box is: within the twip range at
    // most a few thousand steps, each one rounded as a single step is.
    if (!(left + width > pictureRight))
        return left;
    if (!std::isfinite(left) || !std::isfinite(width) || !std::isfinite(pictureRight))
        return left;
    const double steps =
        std::ceil((double(left) + double(width) - double(pictureRight)) / double(KeepInsideStep));
    constexpr double MaxSteps = 1 << 16;
    if (steps > MaxSteps)
        return float(double(left) - steps * double(KeepInsideStep));
    float result = left;
    // The count can be one off the rounded walk's; the last steps are taken
    // with the walk's own comparison.
    for (int i = 2; i < int(steps); ++i)
        result -= KeepInsideStep;
    for (int i = 0; i < 4 && result + width > pictureRight; ++i)
        result -= KeepInsideStep;
    return result;
}

QString CardFormModel::questionFor(int index) const
{
    if (m_card) {
        if (const Question *q = m_card->colQuests().Item(QString::number(index)))
            return q->question;
    }
    return m_boxes[index].tag;
}

void CardFormModel::RestoreControl()
{
    // Only the box in edit configuration has a recorded look.
    if (m_editBox < 0)
        return;
    m_curEditCtrl = m_editBox;
    m_boxes[m_curEditCtrl].backColor = m_preserveColor;
    dropEditLook();
}

void CardFormModel::dropEditLook()
{
    const int index = m_editBox;
    if (index < 0)
        return;
    m_editBox = -1;
    Q_EMIT boxChanged(index);
    Q_EMIT boxSelectAll(index, false);
    updateMarks();
}

bool CardFormModel::boxGotFocus(int index)
{
    if (index < 0 || index >= BoxCount || m_editBox == index)
        return false;
    // However the focus arrived, the box edited before goes back to rest
    // before the snapshot is taken.
    RestoreControl();
    SaveCntrlPxsPriorToMove();
    m_curEditCtrl = index;
    ConfigCtrlForEditing();
    return true;
}

void CardFormModel::refocusEditedBox()
{
    const int index = m_editBox;
    if (index < 0)
        return;
    RestoreControl();
    boxGotFocus(index);
}

void CardFormModel::boxLostFocus(int index)
{
    if (index != m_editBox)
        return;
    // A month or day of one digit gets its leading zero.
    if (const QString done = fields().completedAnswer(index, m_boxes[index].text); done != m_boxes[index].text)
        setAnswer(index, done);
    m_curEditCtrl = index;
    RestoreControl();
}

int CardFormModel::firstBox() const
{
    int first = -1;
    for (int i = 0; i < BoxCount; ++i) {
        if (m_boxes[i].visible && (first < 0 || m_boxes[i].tabIndex < m_boxes[first].tabIndex))
            first = i;
    }
    return first;
}

float CardFormModel::varRightEdgeOfCntrl() const
{
    const AnswerBoxState &b = m_boxes[m_curEditCtrl];
    return b.rect.left + b.rect.width;
}

float CardFormModel::varRightSideOfCard() const
{
    return m_picture.left + m_picture.width;
}
