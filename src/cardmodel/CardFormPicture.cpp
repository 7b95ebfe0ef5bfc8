// The snapshot of box positions and the picture steps that the boxes 0 to
// 39 follow.

#include "CardFormModel.h"

#include "Numbers.h"

using namespace Qt::StringLiterals;


void CardFormModel::SaveCntrlPxsPriorToMove()
{
    m_snapshot.clear();
    for (int i = 0; i < BoxCount; ++i) {
        const AnswerBoxState &b = m_boxes[i];
        m_snapshot.Add({}, {}, Numbers::formatSingle(b.rect.height), Numbers::formatSingle(b.rect.left),
                       Numbers::formatSingle(b.rect.top), Numbers::formatSingle(b.rect.width),
                       colorText(b.backColor), {}, Numbers::formatSingle(b.fontSize), {}, {},
                       QString::number(i + 1));
    }
}

void CardFormModel::applySnapshotTo(int index)
{
    const CardCtrl *c = m_snapshot.Item(QString::number(index + 1));
    if (!c)
        return;
    // The box now stands at rest where the snapshot puts it; restoring its
    // older recorded place later would leave it behind the picture.
    if (index == m_editBox)
        dropEditLook();
    AnswerBoxState b = m_boxes[index];
    b.rect.left = Numbers::toSingle(c->left_c).value_or(b.rect.left);
    b.rect.top = Numbers::toSingle(c->top_r).value_or(b.rect.top);
    b.fontSize = Numbers::toSingle(c->fontsize).value_or(b.fontSize);
    b.rect.height = NormalHeight;
    b.rect.width = Numbers::toSingle(c->wdth).value_or(b.rect.width);
    b.backColor = std::uint32_t(Numbers::toInt32(c->backcolor).value_or(int(b.backColor)));
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
    CardCtrl *c = const_cast<CardCtrl *>(m_snapshot.Item(QString::number(index + 1)));
    if (!c)
        return;
    c->top_r = Numbers::formatSingle(Numbers::toSingle(c->top_r).value_or(0) + float(moveVertAmt));
    c->left_c = Numbers::formatSingle(Numbers::toSingle(c->left_c).value_or(0) + float(moveHorzAmt));
}

void CardFormModel::ResizeCard()
{
    for (int i = 0; i < FollowingBoxes; ++i)
        PositionControlwImageSizeChange(i, m_ratios[i][0], m_ratios[i][1]);
}

void CardFormModel::PositionControlwImageSizeChange(int index, float vertRatio, float horzRatio)
{
    CardCtrl *c = const_cast<CardCtrl *>(m_snapshot.Item(QString::number(index + 1)));
    if (!c)
        return;
    c->top_r = Numbers::formatSingle(float(double(m_picture.height) * double(vertRatio) + double(m_picture.top)));
    c->left_c = Numbers::formatSingle(float(double(m_picture.width) * double(horzRatio) + double(m_picture.left)));
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
        const CardCtrl *c = m_snapshot.Item(QString::number(i + 1));
        if (!c || !m_boxes[i].visible)
            continue;
        double top = Numbers::toSingle(c->top_r).value_or(0);
        double left = Numbers::toSingle(c->left_c).value_or(0);
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
