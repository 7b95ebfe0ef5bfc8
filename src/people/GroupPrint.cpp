#include "GroupPrint.h"

#include "CardFormModel.h"
#include "PrintLayout.h"
#include "SheetModel.h"

using namespace Qt::StringLiterals;

std::vector<std::pair<int, QString>> GroupPrint::answersFor(const CardFields &fields, const Person &person)
{
    std::vector<std::pair<int, QString>> out;
    for (int box = 0; box < CardFields::BoxCount; ++box) {
        const PersonPattern &pattern = fields.personPattern(box);
        if (!pattern.isEmpty())
            out.emplace_back(box, pattern.fill(person));
    }
    return out;
}

std::optional<Person> GroupPrint::personFrom(const CardFields &fields, const std::function<QString(int)> &answer,
                                             const Person &base, QString *error)
{
    if (!fields.takesPeople()) {
        *error = u"This card's boxes take nothing from the people book: its fields file names no person field."_s;
        return std::nullopt;
    }
    Person p = base;
    std::array<QString, 3> birth = {};
    bool birthTyped = false;
    for (int box = 0; box < CardFields::BoxCount; ++box) {
        const PersonPattern &pattern = fields.personPattern(box);
        if (pattern.isEmpty())
            continue;
        const QString text = answer(box).trimmed();
        const bool datePart = pattern.text().contains(u"{birth_"_s);
        if (datePart)
            birthTyped = true;
        // Capitals boxes print in capitals: "ANNA" is still base's "Anna".
        // A date part reads the same either way.
        if (!datePart && base.id != 0 && text.compare(pattern.fill(base), Qt::CaseInsensitive) == 0)
            continue;
        Person read;
        std::array<QString, 3> parts = {};
        if (!pattern.read(text, &read, &parts))
            continue;
        for (const Person::Field f : pattern.fields()) {
            if (f != Person::BirthDate)
                p.setValue(f, read.value(f));
        }
        for (std::size_t i = 0; i < 3; ++i)
            birth[i] = parts[i].isEmpty() ? birth[i] : parts[i];
    }
    if (birthTyped) {
        if (birth[0].isEmpty() && birth[1].isEmpty() && birth[2].isEmpty()) {
            p.setValue(Person::BirthDate, {});
        } else {
            p.setValue(Person::BirthDate, u"%1-%2-%3"_s.arg(birth[0], birth[1].rightJustified(2, u'0'),
                                                             birth[2].rightJustified(2, u'0')));
            if (!p.birthDay()) {
                *error = u"The birth date on the card (year \"%1\", month \"%2\", day \"%3\") is not a date."_s.arg(
                    birth[0], birth[1], birth[2]);
                return std::nullopt;
            }
        }
    }
    if (p.value(Person::Surname).trimmed().isEmpty()) {
        *error = u"The card has no surname to keep the person by."_s;
        return std::nullopt;
    }
    return p;
}

std::vector<GroupPrint::Page> GroupPrint::pages(const CardFormModel &form, const std::vector<Person> &people,
                                                const PrinterProfile *profile,
                                                const std::function<std::optional<QMarginsF>(const PrintPage &)> &margins)
{
    std::vector<Page> out;
    const Card *card = form.clsCard();
    if (!card)
        return out;
    const CardFields &fields = form.fields();
    out.reserve(people.size());
    std::optional<QMarginsF> unprintable;
    bool marginsKnown = false;
    for (const Person &person : people) {
        // The card's boxes as loaded, with this person's answers and nobody
        // else's: every person box is set, empty or not.
        std::array<AnswerBoxState, CardFormModel::BoxCount> boxes = form.restBoxes();
        for (const auto &[box, text] : answersFor(fields, person))
            boxes[std::size_t(box)].text = text;
        Page page{person, PrintLayout::page(*card, boxes, form.picture(), profile), {}};
        if (const QString fault = person.fault(); !fault.isEmpty())
            page.problems.append(fault);
        if (margins && !marginsKnown) {
            unprintable = margins(page.page);
            marginsKnown = true;
        }
        const SheetModel sheet = SheetModel::build(page.page, unprintable ? &*unprintable : nullptr);
        // A misfit of a box the person fills is the person's; the others
        // come from the card's trip answers and are the same on every page.
        for (const Misfit &m : sheet.misfits) {
            const bool persons = !fields.personPattern(m.box).isEmpty()
                                 || (m.otherBox >= 0 && !fields.personPattern(m.otherBox).isEmpty());
            (persons ? page.problems : page.cardProblems).append(m.message);
        }
        out.push_back(std::move(page));
    }
    return out;
}

QString GroupPrint::summary(int printed, const std::vector<Page> &leftOut)
{
    QString text = u"%1 printed, %2 left out"_s.arg(printed).arg(leftOut.size());
    for (const Page &p : leftOut)
        text += u"\n%1: %2"_s.arg(p.person.displayName(), p.problems.join(u"; "_s));
    return text;
}
