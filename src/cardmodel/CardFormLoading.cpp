// Loading a card into the card window's model: the picture, the boxes the
// card describes with their ratios, and the built-in layouts.

#include "CardFormModel.h"

#include "CardLayouts.h"
#include "Numbers.h"

using namespace Qt::StringLiterals;

bool CardFormModel::LoadCard(const QString &cardName)
{
    CardError error;
    std::unique_ptr<Card> card = readCard(cardName, &error);
    if (!card) {
        m_lastError = error;
        return false;
    }
    takeCard(std::move(card), cardName);
    return true;
}

std::unique_ptr<Card> CardFormModel::readCard(const QString &cardName, CardError *error)
{
    auto card = std::make_unique<Card>();
    if (!card->LoadCard(cardName)) {
        *error = card->lastError();
        return nullptr;
    }
    if (const CardError fault = windowFault(*card); !fault.isNull()) {
        *error = fault;
        return nullptr;
    }
    // The kinds of answer come from the fields file beside the card; one
    // with a fault keeps the card from opening rather than be half applied.
    std::optional<CardFields> fields = CardFields::read(CardFields::fileFor(cardName), error);
    if (!fields)
        return nullptr;
    card->setFields(std::move(*fields));
    return card;
}

void CardFormModel::takeCard(std::unique_ptr<Card> card, const QString &cardName)
{
    Q_ASSERT(card);
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
    setModified(false);
    updateMarks();
    Q_EMIT switchesChanged();
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
