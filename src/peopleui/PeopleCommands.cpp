#include "PeopleCommands.h"

#include "CardFormModel.h"
#include "CardPrintCommands.h"
#include "GroupPrint.h"
#include "GroupPrintDialog.h"
#include "Messages.h"
#include "PeopleBook.h"
#include "PeopleUi.h"
#include "PersonChooser.h"
#include "SheetModel.h"

#include <QSet>
#include <QWidget>

using namespace Qt::StringLiterals;

PeopleCommands::PeopleCommands(CardFormModel &model, CardPrintCommands &printing, QWidget *window)
    : m_model(model), m_printing(printing), m_window(window)
{
}

bool PeopleCommands::available() const
{
    return m_model.clsCard() && m_model.fields().takesPeople();
}

void PeopleCommands::fillFromPerson()
{
    if (!available())
        return;
    QString error;
    const std::unique_ptr<PeopleBook> book = PeopleUi::openBook(&error);
    std::optional<std::vector<Person>> people;
    if (book)
        people = book->people(&error);
    if (!people) {
        Messages::error(error);
        return;
    }
    if (people->empty()) {
        Messages::inform(u"The people book %1 has no one in it yet. Fill in a card and choose People > Save As "
                         "Person to add someone."_s.arg(book->name()));
        return;
    }
    PersonChooser chooser(std::move(*people), m_window);
    const bool accepted = chooser.exec() == QDialog::Accepted;
    m_window->activateWindow();
    if (accepted && chooser.chosen())
        fill(*chooser.chosen());
}

bool PeopleCommands::fill(const Person &person)
{
    if (!available())
        return false;
    const std::vector<std::pair<int, QString>> answers = GroupPrint::answersFor(m_model.fields(), person);
    QSet<int> filled;
    for (const auto &[box, text] : answers) {
        m_model.setAnswer(box, text);
        filled.insert(box);
    }
    m_person = person;
    Q_EMIT statusMessage(u"Filled from %1"_s.arg(person.displayName()));

    // Named as Print names them before it asks: those of the filled boxes,
    // on the page as the card's printer prints it.
    const SheetModel sheet = SheetModel::build(m_printing.page());
    QStringList lines;
    for (const Misfit &m : sheet.misfits) {
        if (filled.contains(m.box) || filled.contains(m.otherBox))
            lines.append(m.message);
    }
    if (lines.isEmpty())
        return true;
    Messages::warn(u"Filled from %1. %2 answer(s) will not print well:\n"_s.arg(person.displayName())
                       .arg(lines.size())
                   + SheetModel::named(lines));
    return true;
}

bool PeopleCommands::saveAsPerson()
{
    if (!available())
        return false;
    // The boxes as they are at rest: the one being typed in included.
    const auto answer = [this](int box) { return m_model.restBox(box).text; };
    // Updating the person the card was filled from, or adding a new one:
    // answering No to the first question asks about the second.
    bool update = false;
    if (m_person) {
        update = Messages::confirm(u"Update %1 in the people book?"_s.arg(m_person->displayName()),
                                   u"Save As Person"_s);
        if (!update && !Messages::confirm(u"Save the card's person as a new person in the people book?"_s,
                                          u"Save As Person"_s, true))
            return false;
    }
    QString error;
    // Boxes still as filled keep the person's values, for a new person too:
    // "ANNA MARIE" stays one given name.
    const Person base = m_person.value_or(Person{});
    std::optional<Person> person = GroupPrint::personFrom(m_model.fields(), answer, base, &error);
    if (!person) {
        Messages::error(u"The card was not saved as a person.\n\n%1"_s.arg(error));
        return false;
    }
    if (!update) {
        person->id = 0;
        person->version = 0;
    }
    const std::unique_ptr<PeopleBook> book = PeopleUi::openBook(&error);
    if (!book || !book->save(&*person, &error)) {
        Messages::error(u"The card was not saved as a person.\n\n%1"_s.arg(error));
        return false;
    }
    m_person = *person;
    const QString done = update ? u"Updated %1 in the people book"_s : u"Added %1 to the people book"_s;
    Q_EMIT statusMessage(done.arg(person->displayName()));
    return true;
}

void PeopleCommands::printForSeveralPeople()
{
    if (!available())
        return;
    QString error;
    const std::unique_ptr<PeopleBook> book = PeopleUi::openBook(&error);
    std::optional<std::vector<Person>> people;
    std::optional<QStringList> households;
    if (book)
        people = book->people(&error);
    if (people)
        households = book->households(&error);
    if (!households) {
        Messages::error(error);
        return;
    }
    GroupPrintDialog::Setup setup{std::move(*people), std::move(*households), m_printing.profile(),
                                  m_printing.previewOptions(), m_printing.suggestedPdfPath(u" people"_s)};
    GroupPrintDialog dialog(m_model, m_printing.printer(), std::move(setup), m_window);
    connect(&dialog, &GroupPrintDialog::statusMessage, this, &PeopleCommands::statusMessage);
    dialog.exec();
    m_window->activateWindow();
}
