#pragma once

#include "Person.h"

#include <QObject>

#include <optional>
#include <vector>

class CardFormModel;
class CardPrintCommands;
class QWidget;

// The card window's People menu: fills the card's person boxes from one
// person of the people book, keeps the card's person boxes in the book, and
// prints the card for several people. The trip answers (purpose, arriving
// by, the YES/NO questions) are never touched. Every failure is told; a
// book that cannot be opened changes nothing.
class PeopleCommands : public QObject
{
    Q_OBJECT

public:
    PeopleCommands(CardFormModel &model, CardPrintCommands &printing, QWidget *window);

    // A card is loaded and its fields file gives some box a person pattern.
    bool available() const;

    // Fill From Person...: the chooser, then fill().
    void fillFromPerson();
    // Sets every person box to the person's answer, remembers the person,
    // and tells in one message which filled answers will not print well.
    bool fill(const Person &person);
    // Save As Person...: the card's person boxes as a person of the book,
    // the one the card was filled from (when the user says so) or a new one.
    bool saveAsPerson();
    // Print for Several People...
    void printForSeveralPeople();

    // The person the card was last filled from or saved as, at the book's
    // version then; none after a card is loaded.
    const std::optional<Person> &filledFrom() const { return m_person; }
    void forgetPerson() { m_person.reset(); }

Q_SIGNALS:
    // A short confirmation for the main window's status bar.
    void statusMessage(const QString &text);

private:
    CardFormModel &m_model;
    CardPrintCommands &m_printing;
    QWidget *m_window;
    std::optional<Person> m_person;
};
