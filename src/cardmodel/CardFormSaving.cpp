// The switches of the card window, writing the model back into the card
// string and the card file, and the reset to the installed card.

#include "CardFormModel.h"

#include "Numbers.h"

using namespace Qt::StringLiterals;


void CardFormModel::ToggleDesign()
{
    if (!m_card)
        return;
    m_card->ToggleDesignMode();
    m_chkDesign = m_card->DesignMode();
    setModified(true);
    Q_EMIT switchesChanged();
}

void CardFormModel::setOrientationChecked(bool checked)
{
    m_chkOrientation = checked;
    if (m_card) {
        m_card->setCardOrient(checked ? u"L"_s : u"P"_s);
        m_card->SaveCardOrientation();
        setModified(true);
    }
    Q_EMIT switchesChanged();
}

std::int16_t CardFormModel::SaveTruthTable() const
{
    return (m_card && m_card->DesignMode()) ? 60 : 42;
}

bool CardFormModel::SaveCardToCardStr()
{
    if (!m_card)
        return false;
    // The boxes are written at rest: an enlarged box only looks enlarged.
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
    setModified(false);
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
    // The installed card is shown but not in the file: closing asks.
    if (!saved)
        setModified(true);
    return saved;
}
