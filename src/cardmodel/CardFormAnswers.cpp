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

std::vector<CardFields::Fault> CardFormModel::answerFaults() const
{
    return fields().faults(answersForFaults());
}

void CardFormModel::updateMarks()
{
    const CardFields &f = fields();
    std::array<QString, BoxCount> marks;
    if (!f.isEmpty()) {
        const std::vector<CardFields::Fault> faults = answerFaults();
        const std::array<bool, BoxCount> faulty = f.faultyBoxes(answersForFaults());
        for (int i = 0; i < BoxCount; ++i) {
            // The box being typed in is judged once it is left.
            if (!faulty[i] || i == m_editBox)
                continue;
            for (const CardFields::Fault &fault : faults) {
                const CardFields::Group *g = f.groupOf(fault.box);
                if (fault.marked && (fault.box == i || (g && g == f.groupOf(i))))
                    marks[i] = fault.message;
            }
        }
    }
    for (int i = 0; i < BoxCount; ++i) {
        if (marks[i] != m_marks[i]) {
            m_marks[i] = marks[i];
            Q_EMIT boxChanged(i);
        }
    }
}
