#pragma once

#include "CardError.h"
#include "Person.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>
#include <vector>

// What a card's fields file (beside the card file, "Canada.fields" for
// "Canada.qcf") says about its answer boxes: each box's kind of answer, the
// tick groups with their rule, and the language whose rules put an answer
// into capitals. A card without the file has none of it: every box takes
// text, as it always has.
//
// The file is plain UTF-8 text, one statement a line, "#" starts a comment:
//   language TAG                  en-CA, fr, tr ... (default en)
//   box N KIND [DATE]             KIND: text, tick, capitals, or year, month
//                                 and day, which name the DATE they belong to
//                                 ... person PATTERN: what the box takes from a
//                                 person of the people book, such as
//                                 {surname}, {given_names} {initials}
//   group NAME RULE N N ...       tick boxes; RULE: at-most-one, exactly-one,
//                                 at-least-one
// The answers themselves stay in the card file as before: a tick is "x", an
// unticked box empty.
class CardFields
{
public:
    enum class Kind { Text, Tick, Capitals, Year, Month, Day };
    enum class Rule { AtMostOne, ExactlyOne, AtLeastOne };

    struct Group
    {
        QString name;
        Rule rule = Rule::AtMostOne;
        QList<int> boxes;
        int line = 0;
    };

    // One answer that a card should not print with: a second tick of a
    // group, a group left without one, a date that does not exist.
    struct Fault
    {
        int box = 0;     // the box it is shown on: the group's first, the date part at fault
        QString message; // names the box or group by its question
        bool marked = false; // shown on the box itself: a value that is wrong, not one still missing
    };

    static constexpr int BoxCount = 96;

    // The fields file of a card file: same folder and base name, ".fields",
    // matched without regard to case like the card's other files.
    static QString fileFor(const QString &cardFile);
    // Reads a fields file. A missing file gives an empty description (every
    // box text). A file that cannot be read or holds a fault gives nothing,
    // with error naming the file and the line.
    static std::optional<CardFields> read(const QString &path, CardError *error);
    static std::optional<CardFields> parse(const QString &path, const QByteArray &bytes, CardError *error);

    bool isEmpty() const { return !m_described; }
    QString file() const { return m_file; }
    QString language() const { return m_language; }
    Kind kind(int box) const { return box >= 0 && box < BoxCount ? m_kinds[box] : Kind::Text; }
    bool isTick(int box) const { return kind(box) == Kind::Tick; }
    bool isDatePart(int box) const;
    const std::vector<Group> &groups() const { return m_groups; }
    // What a box takes from a person; an empty pattern for a box that takes
    // nothing of a person (a trip answer).
    const PersonPattern &personPattern(int box) const
    {
        static const PersonPattern none;
        return box >= 0 && box < BoxCount ? m_people[std::size_t(box)] : none;
    }
    bool takesPeople() const;
    // The group a tick box belongs to, or null.
    const Group *groupOf(int box) const;

    // A tick box's answer means a tick when it holds anything but spaces.
    static bool isTicked(const QString &answer) { return !answer.trimmed().isEmpty(); }
    // What a tick box holds once the user ticks it.
    static QString tickAnswer() { return QStringLiteral("x"); }

    // The text that prints for a box's answer: "X" for a ticked box (nothing
    // for an unticked one), capitals by the card's language for a capitals
    // box, the answer itself otherwise.
    QString printedText(int box, const QString &answer) const;
    // A month or day of one digit, as written once the user leaves the box:
    // with its leading zero. Any other answer comes back as it is.
    QString completedAnswer(int box, const QString &answer) const;

    // The faults of a card's answers. answer(box) and question(box) read the
    // card window's boxes; visible(box) leaves out boxes nobody sees.
    struct Answers
    {
        std::function<QString(int)> answer;
        std::function<QString(int)> question;
        std::function<bool(int)> visible;
    };
    std::vector<Fault> faults(const Answers &answers) const;
    // For each box whose answer is wrong, why (empty for the others): a date
    // part at fault, every tick of an over-ticked group. A missing answer is
    // not marked.
    std::array<QString, BoxCount> marks(const Answers &answers) const;
    std::array<bool, BoxCount> faultyBoxes(const Answers &answers) const;

    // The name a group is read by: what its boxes' questions share ("Purpose
    // of trip" for "Purpose of trip:  Study" and "...Business"), else the
    // group's name in the file.
    QString groupTitle(const Group &group, const std::function<QString(int)> &question) const;

private:
    struct DatePart
    {
        QString date;
        Kind part = Kind::Year;
        int box = 0;
    };
    void dateFaults(const Answers &answers, std::vector<Fault> *out) const;

    QString m_file;
    bool m_described = false;
    QString m_language = QStringLiteral("en");
    std::array<Kind, BoxCount> m_kinds{};
    std::array<QString, BoxCount> m_dates;
    std::vector<Group> m_groups;
    std::array<PersonPattern, BoxCount> m_people;
};
