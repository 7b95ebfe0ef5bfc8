// The snapshot of box positions and the picture steps that the boxes 0 to
// 39 follow.

#include "CardFormModel.h"

#include "Numbers.h"

#include <limits>

using namespace Qt::StringLiterals;

std::optional<float> CardFormModel::snapshotValue(float value)
{
    // The snapshot keeps each number as the card's seven-digit number text
    // would give it back, as the position snapshot always has.
    return Numbers::toSingle(Numbers::formatSingle(value));
}

void CardFormModel::SaveCntrlPxsPriorToMove()
{
    m_snapshot.assign(BoxCount, {});
    for (int i = 0; i < BoxCount; ++i) {
        const AnswerBoxState &b = m_boxes[i];
        m_snapshot[i] = {snapshotValue(b.rect.height), snapshotValue(b.rect.left), snapshotValue(b.rect.top),
                         snapshotValue(b.rect.width), snapshotValue(b.fontSize), b.backColor};
    }
}

CardCtrls CardFormModel::mcolCntrlLocation() const
{
    const auto text = [](std::optional<float> v) {
        return Numbers::formatSingle(v.value_or(std::numeric_limits<float>::quiet_NaN()));
    };
    CardCtrls snapshot;
    for (std::size_t i = 0; i < m_snapshot.size(); ++i) {
        const SnapshotEntry &e = m_snapshot[i];
        snapshot.Add({}, {}, text(e.height), text(e.left), text(e.top), text(e.width), colorText(e.backColor), {},
                     text(e.fontSize), {}, {}, QString::number(i + 1));
    }
    return snapshot;
}

void CardFormModel::applySnapshotTo(int index)
{
    if (std::size_t(index) >= m_snapshot.size())
        return;
    const SnapshotEntry &e = m_snapshot[index];
    // The box now stands at rest where the snapshot puts it; restoring its
    // older recorded place later would leave it behind the picture.
    if (index == m_editBox)
        dropEditLook();
    AnswerBoxState b = m_boxes[index];
    b.rect.left = e.left.value_or(b.rect.left);
    b.rect.top = e.top.value_or(b.rect.top);
    b.fontSize = e.fontSize.value_or(b.fontSize);
    b.rect.height = NormalHeight;
    b.rect.width = e.width.value_or(b.rect.width);
    b.backColor = e.backColor;
    setBox(index, b);
}

void CardFormModel::RestoreCntrlPxsAfterMove()
{
    for (int i = 0; i < BoxCount; ++i)
        applySnapshotTo(i);
}

void CardFormModel::RestoreCntrlActiveCntrl(int activeIndex)
{
    if (activeIndex >= 0 && activeIndex < BoxCount)
        applySnapshotTo(activeIndex);
}

void CardFormModel::MoveControls(int moveVertAmt, int moveHorzAmt)
{
    for (int i = 0; i < FollowingBoxes; ++i)
        PositionControlwImageMove(i, moveVertAmt, moveHorzAmt);
}

void CardFormModel::PositionControlwImageMove(int index, int moveVertAmt, int moveHorzAmt)
{
    if (std::size_t(index) >= m_snapshot.size())
        return;
    SnapshotEntry &e = m_snapshot[index];
    e.top = snapshotValue(e.top.value_or(0) + float(moveVertAmt));
    e.left = snapshotValue(e.left.value_or(0) + float(moveHorzAmt));
}

void CardFormModel::ResizeCard()
{
    for (int i = 0; i < FollowingBoxes; ++i)
        PositionControlwImageSizeChange(i, m_ratios[i][0], m_ratios[i][1]);
}

void CardFormModel::PositionControlwImageSizeChange(int index, float vertRatio, float horzRatio)
{
    if (std::size_t(index) >= m_snapshot.size())
        return;
    SnapshotEntry &e = m_snapshot[index];
    e.top = snapshotValue(float(double(m_picture.height) * double(vertRatio) + double(m_picture.top)));
    e.left = snapshotValue(float(double(m_picture.width) * double(horzRatio) + double(m_picture.left)));
}

QString CardFormModel::pictureOutOfRange()
{
    return u"The card picture cannot go past -32768 to 32767 twips; nothing was changed."_s;
}

QString CardFormModel::boxOutOfRange(int index)
{
    return u"Answer box %1 cannot go past -32768 to 32767 twips; nothing was changed."_s.arg(index);
}

QString CardFormModel::followingBoxesRefusal(const std::function<void(int, double *, double *)> &place) const
{
    // Only visible boxes are saved, so only they must stay placeable.
    for (int i = 0; i < FollowingBoxes; ++i) {
        if (std::size_t(i) >= m_snapshot.size() || !m_boxes[i].visible)
            continue;
        double top = m_snapshot[i].top.value_or(0);
        double left = m_snapshot[i].left.value_or(0);
        place(i, &top, &left);
        if (!Numbers::isTwip(top) || !Numbers::isTwip(left))
            return boxOutOfRange(i);
    }
    return {};
}

QString CardFormModel::movePictureVertically(int amount)
{
    TwipRect p = m_picture;
    p.top += float(amount);
    if (!Numbers::isTwip(p.top))
        return pictureOutOfRange();
    const QString refused = followingBoxesRefusal([&](int, double *top, double *) {
        *top = double(float(*top + amount));
    });
    if (!refused.isEmpty())
        return refused;
    setPicture(p);
    MoveControls(amount, 0);
    return {};
}

QString CardFormModel::movePictureHorizontally(int amount)
{
    TwipRect p = m_picture;
    p.left += float(amount);
    if (!Numbers::isTwip(p.left))
        return pictureOutOfRange();
    const QString refused = followingBoxesRefusal([&](int, double *, double *left) {
        *left = double(float(*left + amount));
    });
    if (!refused.isEmpty())
        return refused;
    setPicture(p);
    MoveControls(0, amount);
    return {};
}

QString CardFormModel::stretchPicture(int widthChange, int heightChange)
{
    TwipRect p = m_picture;
    p.width += float(widthChange);
    p.height += float(heightChange);
    if (!(p.width > 0) || !(p.height > 0))
        return u"The card picture cannot be made smaller than 1 twip; nothing was changed."_s;
    if (!Numbers::isTwip(p.width) || !Numbers::isTwip(p.height))
        return pictureOutOfRange();
    const QString refused = followingBoxesRefusal([&](int i, double *top, double *left) {
        *top = double(p.height) * double(m_ratios[i][0]) + double(p.top);
        *left = double(p.width) * double(m_ratios[i][1]) + double(p.left);
    });
    if (!refused.isEmpty())
        return refused;
    setPicture(p);
    ResizeCard();
    return {};
}

QString CardFormModel::pictureArrow(PictureArrow arrow, int activeBox)
{
    QString refused;
    switch (arrow) {
    case PictureArrow::Up:
        // The focused box goes back to its snapshot place before the
        // snapshot is taken anew.
        RestoreCntrlActiveCntrl(activeBox);
        SaveCntrlPxsPriorToMove();
        refused = movePictureVertically(-20);
        break;
    case PictureArrow::Down:
        RestoreCntrlPxsAfterMove();
        refused = movePictureVertically(20);
        break;
    case PictureArrow::Left:
        refused = movePictureHorizontally(-20);
        break;
    case PictureArrow::Right:
        refused = movePictureHorizontally(20);
        break;
    case PictureArrow::Narrower:
        refused = stretchPicture(-20, 0);
        break;
    case PictureArrow::Wider:
        refused = stretchPicture(20, 0);
        break;
    case PictureArrow::Taller:
        refused = stretchPicture(0, 20);
        break;
    case PictureArrow::Shorter:
        refused = stretchPicture(0, -20);
        break;
    }
    if (!refused.isEmpty())
        return refused;
    if (arrow == PictureArrow::Up || arrow == PictureArrow::Down) {
        // The boxes follow at once, and the focused box is enlarged again.
        RestoreCntrlPxsAfterMove();
        if (activeBox >= 0 && activeBox == m_curEditCtrl)
            boxGotFocus(activeBox);
    }
    setModified(true);
    return {};
}
