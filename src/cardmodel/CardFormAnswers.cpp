// The kinds of answer a card's fields file gives its boxes: ticks that clear
// the others of their group, dates completed when a box is left, and the
// marks on answers that are wrong.

#include "CardFormModel.h"

using namespace Qt::StringLiterals;

const CardFields &CardFormModel::fields() const
{
    static const CardFields none;
    return m_card ? m_card->fields() : none;
}

void CardFormModel::setTicked(int index, bool ticked)
{
    if (index < 0 || index >= BoxCount || !fields().isTick(index) || isTicked(index) == ticked)
        return;
    setAnswer(index, ticked ? CardFields::tickAnswer() : QString());
}

CardFields::Answers CardFormModel::answersForFaults() const
{
    return {[this](int box) { return m_boxes[box].text; }, [this](int box) { return questionFor(box); },
            [this](int box) { return m_boxes[box].visible; }};
}

void CardFormModel::updateMarks()
{
    std::array<QString, BoxCount> marks = fields().marks(answersForFaults());
    // The box being typed in is judged once it is left.
    if (m_editBox >= 0)
        marks[m_editBox].clear();
    for (int i = 0; i < BoxCount; ++i) {
        if (marks[i] != m_marks[i]) {
            m_marks[i] = marks[i];
            Q_EMIT boxChanged(i);
        }
    }
}
