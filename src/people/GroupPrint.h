#pragma once

#include "CardFields.h"
#include "Person.h"
#include "PrintPage.h"

#include <QMarginsF>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

class CardFormModel;
struct PrinterProfile;

// Filling a card's person boxes from the people book, reading them back, and
// the pages of a group: one page a person, each the card with that person's
// answers and the card's own trip answers, nothing else of anyone.
namespace GroupPrint {

// Each box the fields file gives a person pattern, with its answer for the
// person (empty where the person has no value).
std::vector<std::pair<int, QString>> answersFor(const CardFields &fields, const Person &person);

// The person the card's person boxes describe. Starts from base (the
// person the card was filled from, or an empty one); a box that still reads
// as base fills it keeps base's value, so "ANNA MARIE" stays one given name.
// None, with the reason, when the card takes no person or the birth date
// typed is no date.
std::optional<Person> personFrom(const CardFields &fields, const std::function<QString(int)> &answer,
                                 const Person &base, QString *error);

struct Page
{
    Person person;
    PrintPage page;
    QStringList problems;     // why the person's page should not print: a
                              // person's answer that misfits or is wrong
    QStringList cardProblems; // the card's own answers' misfits, the same
                              // for everyone
};

// The pages of the people, in the order given. margins: the printer's
// unprintable margins, where they count.
std::vector<Page> pages(const CardFormModel &form, const std::vector<Person> &people,
                        const PrinterProfile *profile = nullptr,
                        const std::function<std::optional<QMarginsF>(const PrintPage &)> &margins = {});

// "N printed, M left out" and, for each one left out, who and why.
QString summary(int printed, const std::vector<Page> &leftOut);

} // namespace GroupPrint
