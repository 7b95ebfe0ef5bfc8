#include "CardFormModel.h"

using namespace Qt::StringLiterals;

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


QString CardFormModel::colorText(std::uint32_t color)
{
    return QString::number(std::int32_t(color));
}

void CardFormModel::setModified(bool modified)
{
    if (m_modified == modified)
        return;
    m_modified = modified;
    Q_EMIT modifiedChanged(modified);
}

std::array<AnswerBoxState, CardFormModel::BoxCount> CardFormModel::boxes() const
{
    std::array<AnswerBoxState, BoxCount> shown = m_boxes;
    if (m_editBox >= 0)
        shown[m_editBox] = m_editLook;
    return shown;
}

void CardFormModel::setBox(int index, const AnswerBoxState &state)
{
    if (m_boxes[index] == state)
        return;
    const AnswerBoxState before = m_boxes[index];
    m_boxes[index] = state;
    const bool answerChanged = state.text != before.text || state.visible != before.visible;
    if (index == m_editBox) {
        // The edit configuration follows a box that moves or changes its look
        // at rest; an answer, or a switch, leaves it as it is.
        AnswerBoxState look = m_editLook;
        look.text = state.text;
        look.visible = state.visible;
        look.tabIndex = state.tabIndex;
        look.tag = state.tag;
        look.bordered = state.bordered;
        if (!(state.rect == before.rect) || state.backColor != before.backColor
            || state.fontName != before.fontName || state.fontSize != before.fontSize)
            look = editLook(index);
        m_editLook = look;
    }
    Q_EMIT boxChanged(index);
    if (answerChanged)
        updateMarks();
}

void CardFormModel::setAnswer(int index, const QString &text)
{
    if (m_boxes[index].text == text)
        return;
    setBoxText(index, text);
    setModified(true);
    const CardFields &f = fields();
    if (!f.isTick(index) || !CardFields::isTicked(text))
        return;
    if (const CardFields::Group *g = f.groupOf(index); g && g->rule != CardFields::Rule::AtLeastOne) {
        for (const int other : g->boxes) {
            if (other != index && CardFields::isTicked(m_boxes[other].text))
                setBoxText(other, QString());
        }
    }
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
