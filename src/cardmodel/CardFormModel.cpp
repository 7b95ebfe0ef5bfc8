#include "CardFormModel.h"

#include "CardLayouts.h"
#include "Numbers.h"

#include <QStringList>

#include <cmath>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

// A colour is written back as the card's 32-bit signed number it was read as.
QString colorText(std::uint32_t color)
{
    return QString::number(std::int32_t(color));
}

} // namespace

CardFormModel::CardFormModel(QObject *parent) : QObject(parent)
{
    // The window's boxes as defined: hidden, light grey, no border.
    m_preserveColor = m_boxes[0].backColor;
}

CardFormModel::~CardFormModel() = default;

void CardFormModel::setVarCardTitle(const QString &title)
{
    m_cardTitle = title;
    if (m_card)
        m_card->setVarCardTitle(title);
}

// ---- Loading -----------------------------------------------------------------

bool CardFormModel::LoadCard(const QString &cardName)
{
    auto card = std::make_unique<Card>();
    if (!card->LoadCard(cardName)) {
        m_lastError = card->lastError();
        return false;
    }
    if (const CardError fault = windowFault(*card); !fault.isNull()) {
        m_lastError = fault;
        return false;
    }
    m_lastError = {};
    m_card = std::move(card);
    m_cardNam = cardName;
    RestoreControl();

    InitializeCardLocation();
    m_card->setVarRestCard(false);
    InitializeCardControls();
    // The picture arrows work on the snapshot: it is valid from the start,
    // not only after the first box had the focus.
    SaveCntrlPxsPriorToMove();
    updateSwitchesFromCard(false);
    Q_EMIT switchesChanged();
    return true;
}

void CardFormModel::updateSwitchesFromCard(bool reset)
{
    m_chkDefault = m_card->UseDefaultVals();
    m_chkDesign = m_card->DesignMode();
    m_chkOrientation = m_card->cardOrient() != u"P"_s;
    if (!reset) {
        // Every load of a design-mode card adds its marker.
        if (m_card->DesignMode()) {
            m_labNotify += u"Dgn"_s;
            m_designSwitchVisible = true;
        }
        return;
    }
    // After a reset the switches show the card as it was reloaded.
    if (m_card->DesignMode()) {
        if (!m_labNotify.endsWith(u"Dgn"_s))
            m_labNotify += u"Dgn"_s;
    } else {
        m_labNotify.remove(u"Dgn"_s);
    }
    m_designSwitchVisible = m_card->DesignMode();
}

void CardFormModel::InitializeCardLocation()
{
    setPicture({m_card->CardImageLeft(), m_card->CardImageTop(), m_card->CardImageWidth(),
                m_card->CardImageHeight()});
}

void CardFormModel::GetCardLocVals()
{
    if (!m_card)
        return;
    m_card->setCardImageHeight(m_picture.height);
    m_card->setCardImageLeft(m_picture.left);
    m_card->setCardImageTop(m_picture.top);
    m_card->setCardImageWidth(m_picture.width);
}

void CardFormModel::InitializeCardControls()
{
    for (int i = 0; i < BoxCount; ++i) {
        AnswerBoxState b = m_boxes[i];
        b.visible = false;
        b.backColor = LightGrey;
        b.text.clear();
        b.fontName = u"Small Fonts"_s;
        b.fontSize = 3;
        setBox(i, b);
    }
    if (!m_card)
        return;
    // The card has been checked on loading, so every value converts.
    std::array<bool, BoxCount> listed{};
    for (const CardCtrl &c : m_card->colCardCtrls()) {
        const int n = *Numbers::toInt16(c.fldName);
        listed[n] = true;
        AnswerBoxState b = m_boxes[n];
        b.rect.height = *Numbers::toSingle(c.height);
        b.rect.left = float(*Numbers::toInt16(c.left_c));
        b.rect.top = *Numbers::toSingle(c.top_r);
        b.rect.width = *Numbers::toSingle(c.wdth);
        b.visible = Card::readFlag(c.visible);
        // Kept as read, all 32 bits; only drawing uses the low 24.
        b.backColor = std::uint32_t(*Numbers::toInt32(c.backcolor));
        b.bordered = true;
        b.tabIndex = *Numbers::toInt16(c.tabOrder);
        setBox(n, b);
        if (n < RatioRows)
            mSetPositionRatio(n);
    }
    numberUnlistedBoxes(listed);
    for (const clsAnsw &a : m_card->colAnsws()) {
        if (a.ControlNum >= 0 && a.ControlNum < BoxCount)
            setBoxText(a.ControlNum, a.Answ);
    }
    Q_EMIT tabOrderChanged();
}

void CardFormModel::numberUnlistedBoxes(const std::array<bool, BoxCount> &listed)
{
    // A box the card does not list would otherwise keep tab index 0 and
    // share it with the card's first box, which the Enter key then skips.
    int next = 0;
    for (int i = 0; i < BoxCount; ++i) {
        if (listed[i])
            next = std::max(next, m_boxes[i].tabIndex + 1);
    }
    for (int i = 0; i < BoxCount; ++i) {
        if (listed[i])
            continue;
        AnswerBoxState b = m_boxes[i];
        b.tabIndex = next++;
        setBox(i, b);
    }
}

int CardFormModel::BuildControl(int index, bool visible, const QString &tag, int tabOrder)
{
    mSetPositionRatio(index);
    AnswerBoxState b = m_boxes[index];
    b.visible = visible;
    b.tag = tag;
    b.tabIndex = tabOrder;
    setBox(index, b);
    Q_EMIT tabOrderChanged();
    return tabOrder + 1;
}

void CardFormModel::mPlaceControl(int index, float height, float left, float top, float width)
{
    AnswerBoxState b = m_boxes[index];
    b.rect = {left, top, width, height};
    setBox(index, b);
}

bool CardFormModel::PositionImage(const QString &imgName, float top, float left, float width,
                                  float height)
{
    if (imgName != u"imgCCCard"_s)
        return false;
    setPicture({left, top, width, height});
    return true;
}

bool CardFormModel::mSetPositionRatio(int index)
{
    if (index < 0 || index >= RatioRows || !(m_picture.height > 0) || !(m_picture.width > 0))
        return false;
    const AnswerBoxState &b = m_boxes[index];
    m_ratios[index][0] = float((double(b.rect.top) - double(m_picture.top)) / double(m_picture.height));
    m_ratios[index][1] = float((double(b.rect.left) - double(m_picture.left)) / double(m_picture.width));
    return true;
}

void CardFormModel::SetUpCanCard()
{
    applyLayout(CardLayouts::canada());
}

void CardFormModel::SetupUSCard()
{
    applyLayout(CardLayouts::us());
}

void CardFormModel::SetUpCanCard_blue()
{
    applyLayout(CardLayouts::canadaBlue());
}

void CardFormModel::applyLayout(const CardLayout &layout)
{
    PositionImage(u"imgCCCard"_s, float(layout.pictureTop), float(layout.pictureLeft),
                  float(layout.pictureWidth), float(layout.pictureHeight));
    for (int i = 0; i < FollowingBoxes; ++i) {
        AnswerBoxState b = m_boxes[i];
        b.visible = false;
        b.backColor = layout.backColor;
        b.text = u" "_s;
        setBox(i, b);
    }
    int tab = 0;
    const bool samples = &layout == &CardLayouts::canadaBlue();
    std::array<bool, BoxCount> listed{};
    for (const LayoutRow &row : layout.rows) {
        mPlaceControl(row.box, float(row.height), float(row.left), float(row.top), float(row.width));
        tab = BuildControl(row.box, row.visible, row.question, tab);
        listed[row.box] = true;
        if (samples && !row.sampleAnswer.isEmpty())
            setBoxText(row.box, row.sampleAnswer);
    }
    numberUnlistedBoxes(listed);
    Q_EMIT tabOrderChanged();
    SaveCntrlPxsPriorToMove();
}

// ---- Boxes and picture ---------------------------------------------------------

void CardFormModel::setBox(int index, const AnswerBoxState &state)
{
    if (m_boxes[index] == state)
        return;
    m_boxes[index] = state;
    Q_EMIT boxChanged(index);
}

void CardFormModel::setPicture(const TwipRect &rect)
{
    if (m_picture == rect)
        return;
    m_picture = rect;
    Q_EMIT pictureChanged();
}

void CardFormModel::setBoxText(int index, const QString &text)
{
    AnswerBoxState b = m_boxes[index];
    b.text = text;
    setBox(index, b);
}

void CardFormModel::setBoxRect(int index, const TwipRect &rect)
{
    AnswerBoxState b = m_boxes[index];
    b.rect = rect;
    setBox(index, b);
}

void CardFormModel::setBoxVisible(int index, bool visible)
{
    AnswerBoxState b = m_boxes[index];
    b.visible = visible;
    setBox(index, b);
}

// ---- Edit configuration --------------------------------------------------------

void CardFormModel::SaveControl()
{
    const AnswerBoxState &b = m_boxes[m_curEditCtrl];
    m_preserveColor = b.backColor;
    m_savedFont = b.fontName;
    m_savedFontSize = b.fontSize;
    m_savedHt = NormalHeight;
    m_savedWidth = b.rect.width;
    m_savedTop = b.rect.top;
    m_savedLeft = b.rect.left;
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
    return m_savedWidth;
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
    AnswerBoxState b = m_boxes[m_curEditCtrl];
    m_questionLine = b.tag;
    m_txtAns = b.text;
    b.flat = true;
    b.backColor = EditColor;
    b.rect.height = EditHeight;
    b.rect.width = std::max(2 * recordedWidth(m_curEditCtrl), MinEditWidth);
    b.rect.top = m_savedTop - (b.rect.height - m_savedHt);
    if (b.rect.width > MaxEditWidth)
        b.rect.width = MaxEditWidth;
    b.fontName = u"Small Fonts"_s;
    b.fontSize = EditFontSize;
    b.rect.left = keptInside(b.rect.left, b.rect.width, m_picture.left + m_picture.width);
    setBox(m_curEditCtrl, b);
    m_editBox = m_curEditCtrl;
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
    AnswerBoxState b = m_boxes[m_curEditCtrl];
    b.backColor = m_preserveColor;
    b.fontName = m_savedFont;
    b.fontSize = m_savedFontSize;
    b.rect.height = NormalHeight;
    b.rect.width = m_savedWidth;
    b.rect.top = m_savedTop;
    b.rect.left = m_savedLeft;
    setBox(m_curEditCtrl, b);
    m_editBox = -1;
    Q_EMIT boxSelectAll(m_curEditCtrl, false);
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

void CardFormModel::boxLostFocus(int index)
{
    if (index != m_editBox)
        return;
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

// ---- Snapshot --------------------------------------------------------------------

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
    AnswerBoxState b = m_boxes[index];
    b.rect.left = Numbers::toSingle(c->left_c).value_or(b.rect.left);
    b.rect.top = Numbers::toSingle(c->top_r).value_or(b.rect.top);
    b.fontSize = Numbers::toSingle(c->fontsize).value_or(b.fontSize);
    b.rect.height = NormalHeight;
    b.rect.width = Numbers::toSingle(c->wdth).value_or(b.rect.width);
    b.backColor = std::uint32_t(Numbers::toInt32(c->backcolor).value_or(int(b.backColor)));
    setBox(index, b);
    // The box now stands at rest where the snapshot puts it; restoring its
    // older recorded place later would leave it behind the picture.
    if (index == m_editBox) {
        m_editBox = -1;
        Q_EMIT boxSelectAll(index, false);
    }
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

// ---- Design commands ---------------------------------------------------------------

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

// ---- Switches -----------------------------------------------------------------

void CardFormModel::ToggleDesign()
{
    if (!m_card)
        return;
    m_card->ToggleDesignMode();
    m_chkDesign = m_card->DesignMode();
    Q_EMIT switchesChanged();
}

void CardFormModel::setOrientationChecked(bool checked)
{
    m_chkOrientation = checked;
    if (m_card) {
        m_card->setCardOrient(checked ? u"L"_s : u"P"_s);
        m_card->SaveCardOrientation();
    }
    Q_EMIT switchesChanged();
}

// ---- Saving --------------------------------------------------------------------

std::int16_t CardFormModel::SaveTruthTable() const
{
    return (m_card && m_card->DesignMode()) ? 60 : 42;
}

bool CardFormModel::SaveCardToCardStr()
{
    if (!m_card)
        return false;
    // A save never writes an enlarged box.
    RestoreControl();
    m_card->setUseDefaultVals(false);
    m_card->Save_UseDefaultVals_Setting();
    m_chkDefault = false;
    m_card->GetDesignMode();
    const std::int16_t flags = SaveTruthTable();
    if (flags & Card::BankAnswers)
        SaveAnswersToCardStr();
    if (flags & Card::BankInstalledPicture) {
        GetCardLocVals();
        m_card->SaveCardLocToCardStr_Default();
    }
    if (flags & Card::BankCurrentPicture) {
        GetCardLocVals();
        m_card->SaveCardLocToCardStr();
    }
    if (flags & Card::BankInstalledLayout) {
        m_card->setSaveAtLineNum_Start(Card::FirstInstalledControl);
        m_card->setSaveAtLineNum_End(Card::LastInstalledControl);
        SaveControlLocationsToCardStr();
    }
    if (flags & Card::BankCurrentLayout) {
        m_card->setSaveAtLineNum_Start(Card::FirstCurrentControl);
        m_card->setSaveAtLineNum_End(Card::LastCurrentControl);
        SaveControlLocationsToCardStr();
    }
    m_card->SetDesignModeValInCardStr();
    Q_EMIT switchesChanged();
    return true;
}

void CardFormModel::SaveAnswersToCardStr()
{
    clsAnsws &answers = m_card->colAnsws();
    answers.clear();
    for (int i = 0; i < BoxCount; ++i) {
        if (!m_boxes[i].visible)
            continue;
        answers.Add(std::int16_t(i), m_boxes[i].text, QString::number(i));
        m_card->setLastCntrl(std::int16_t(i));
    }
    m_card->SaveAnwsersToCardStr();
}

bool CardFormModel::SaveControlLocationsToCardStr()
{
    CardCtrls &controls = m_card->colCardCtrls();
    controls.clear();
    for (int i = 0; i < BoxCount; ++i) {
        const AnswerBoxState &b = m_boxes[i];
        if (!b.visible)
            continue;
        controls.Add(QString::number(i), b.text, Numbers::formatSingle(b.rect.height),
                     Numbers::formatSingle(b.rect.left), Numbers::formatSingle(b.rect.top),
                     Numbers::formatSingle(b.rect.width), colorText(b.backColor), b.fontName,
                     Numbers::formatSingle(b.fontSize), Card::flagText(b.visible),
                     QString::number(b.tabIndex), QString::number(i));
        m_card->setLastCntrl(std::int16_t(i));
    }
    return m_card->SaveControlValuesToCardStr();
}

CardError CardFormModel::windowFault(const Card &card)
{
    if (!(card.CardImageWidth() > 0) || !(card.CardImageHeight() > 0)) {
        return CardError{card.cardName(), 0, u"the card picture has no width or height (%1 by %2 twips)"_s
                                                 .arg(Numbers::formatSingle(card.CardImageWidth()),
                                                      Numbers::formatSingle(card.CardImageHeight()))};
    }
    return {};
}

CardError CardFormModel::openFault(const QString &cardName, const QString &cardStr, bool reset)
{
    Card probe;
    probe.setCardName(cardName);
    probe.setVarRestCard(reset);
    if (!probe.LoadCardFromStr(cardStr))
        return probe.lastError();
    return windowFault(probe);
}

bool CardFormModel::SaveCard()
{
    if (!m_card)
        return false;
    const Card before = *m_card;
    const bool chkDefault = m_chkDefault;
    const bool resetOpened = openFault(before.cardName(), before.CardStr(), true).isNull();
    SaveCardToCardStr();
    // A save never writes a card that would then fail to open, or (when the
    // installed layout opened before) fail to reset.
    CardError fault = openFault(m_card->cardName(), m_card->CardStr(), false);
    if (fault.isNull() && resetOpened)
        fault = openFault(m_card->cardName(), m_card->CardStr(), true);
    if (!fault.isNull()) {
        *m_card = before;
        m_chkDefault = chkDefault;
        fault.reason = u"the card was not saved, because it would then fail to open: "_s + fault.reason;
        m_lastError = fault;
        Q_EMIT switchesChanged();
        return false;
    }
    if (!m_card->SaveCardStrToFile()) {
        m_lastError = m_card->lastError();
        return false;
    }
    return true;
}

void CardFormModel::ClearVisibleControls()
{
    for (int i = 0; i < BoxCount; ++i) {
        if (m_boxes[i].visible)
            setBoxText(i, QString());
    }
}

bool CardFormModel::resetToInstalled()
{
    if (!m_card)
        return false;
    // The installed card is read into a copy first: a reset that fails
    // leaves the boxes, their answers and the card as they were.
    Card reloaded = *m_card;
    reloaded.setVarRestCard(true);
    if (!reloaded.LoadCard(m_cardNam)) {
        m_lastError = reloaded.lastError();
        return false;
    }
    if (!(reloaded.CardImageWidth() > 0) || !(reloaded.CardImageHeight() > 0)) {
        m_lastError = CardError{m_cardNam, 0, u"the installed card picture has no width or height"_s};
        return false;
    }
    RestoreControl();
    ClearVisibleControls();
    *m_card = std::move(reloaded);
    // The picture goes in place before the boxes take their ratios from it.
    InitializeCardLocation();
    InitializeCardControls();
    SaveCntrlPxsPriorToMove();
    updateSwitchesFromCard(true);
    Q_EMIT switchesChanged();
    const bool saved = SaveCard();
    m_card->setVarRestCard(false);
    return saved;
}
