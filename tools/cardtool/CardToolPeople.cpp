#include "CardTool.h"

#include "AtomicFile.h"
#include "CardFormModel.h"
#include "GroupPrint.h"
#include "PdfExport.h"
#include "PeopleBook.h"
#include "PeopleCsv.h"
#include "PrinterProfiles.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

// The people book from the command line, and a group's cards: "people"
// runs on Qt Core alone, "batch" needs fonts like "print".

namespace {

void put(std::FILE *f, const QString &line)
{
    std::fputs((line + u'\n').toLocal8Bit().constData(), f);
}

// Takes "--book B" out of the arguments; false when it has no value.
bool takeBook(QStringList *args, QString *book)
{
    const qsizetype at = args->indexOf(u"--book"_s);
    if (at < 0)
        return true;
    if (at + 1 >= args->size())
        return false;
    *book = args->at(at + 1);
    args->remove(at, 2);
    return true;
}

} // namespace

int CardTool::people(const QStringList &arguments)
{
    QStringList args = arguments;
    QString where;
    if (!takeBook(&args, &where))
        return usage(u"--book needs a file or a postgresql:// address"_s);
    const QString verb = args.value(0);
    if (verb == u"import")
        return importPeople(args.mid(1), PeopleBook::chosenLocation(where));
    QString error;
    if (verb == u"list" || verb == u"export") {
        const bool json = args.removeAll(u"--json"_s) > 0;
        if ((verb == u"list" && args.size() != 1) || (verb == u"export" && (args.size() != 2 || json)))
            return usage(verb == u"list" ? u"people list takes --book and --json only"_s
                                         : u"people export takes one CSV file"_s);
        const auto book = PeopleBook::open(PeopleBook::chosenLocation(where), PeopleBook::Open::Existing, &error);
        if (!book)
            return report(error, BadCard);
        const auto everyone = book->people(&error);
        if (!everyone)
            return report(error, BadCard);
        if (verb == u"export") {
            if (!AtomicFile::write(args.at(1), PeopleCsv::write(*everyone), &error))
                return report(CardError{args.at(1), 0, error}.message(), BadCard);
            put(m_err, u"Exported %1 people to %2."_s.arg(everyone->size()).arg(args.at(1)));
            return Ok;
        }
        if (json) {
            QJsonArray list;
            for (const Person &p : *everyone) {
                QJsonObject o{{u"id"_s, p.id}, {u"version"_s, p.version}};
                for (int f = 0; f < Person::FieldCount; ++f)
                    o[Person::fieldName(Person::Field(f))] = p.value(Person::Field(f));
                list.append(o);
            }
            std::fputs(QJsonDocument(list).toJson(QJsonDocument::Indented).constData(), m_out);
            return Ok;
        }
        for (const Person &p : *everyone) {
            put(m_out, u"%1\t%2\t%3\t%4"_s.arg(p.id).arg(p.displayName(), p.value(Person::BirthDate),
                                                       p.value(Person::Household)));
        }
        return Ok;
    }
    return usage(u"people takes import, list or export"_s);
}

int CardTool::importPeople(const QStringList &args, const QString &where)
{
    if (args.size() != 1)
        return usage(u"people import takes one CSV file"_s);
    const QString path = args.first();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return report(CardError{path, 0, u"cannot be read: "_s + file.errorString()}.message(), BadCard);
    PeopleCsv::Reading reading;
    QString error;
    if (!PeopleCsv::read(path, file.readAll(), &reading, &error))
        return report(error, BadCard);
    for (const QString &column : std::as_const(reading.unknownColumns))
        put(m_err, CardError{path, 1, u"the column \"%1\" is not a person field; it is not imported"_s.arg(column)}
                       .message());
    for (const QString &refused : std::as_const(reading.refused))
        put(m_err, u"%1: %2; not imported"_s.arg(path, refused));
    const auto book = PeopleBook::open(where, PeopleBook::Open::CreateIfMissing, &error);
    if (!book)
        return report(error, BadCard);
    if (!reading.people.empty() && !book->addAll(&reading.people, &error))
        return report(error, BadCard);
    put(m_out, u"Imported %1 people into %2 (%3 refused)."_s.arg(reading.people.size())
                   .arg(book->name())
                   .arg(reading.refused.size()));
    return reading.refused.isEmpty() ? Ok : BadCard;
}

int CardTool::batch(const QStringList &args)
{
    constexpr int MaxCopies = 999;
    QString cardFile, pdfFile, printerName, tray, chosen, where;
    int copies = 1;
    bool copiesGiven = false;
    bool strict = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == u"--people" || arg == u"--book" || arg == u"--pdf" || arg == u"--copies" || arg == u"--printer"
            || arg == u"--tray") {
            if (i + 1 >= args.size())
                return usage(u"%1 needs a value"_s.arg(arg));
            const QString value = args.at(++i);
            if (arg == u"--copies") {
                bool ok = false;
                copies = value.toInt(&ok);
                copiesGiven = true;
                if (!ok || copies < 1 || copies > MaxCopies)
                    return usage(u"\"%1\" is not a number of copies (1 to %2)"_s.arg(value).arg(MaxCopies));
                continue;
            }
            (arg == u"--people"    ? chosen
             : arg == u"--book"    ? where
             : arg == u"--pdf"     ? pdfFile
             : arg == u"--printer" ? printerName
                                   : tray) = value;
        } else if (arg == u"--strict") {
            strict = true;
        } else if (arg.startsWith(u"--") || !cardFile.isEmpty()) {
            return usage(u"batch does not take \"%1\""_s.arg(arg));
        } else {
            cardFile = arg;
        }
    }
    if (cardFile.isEmpty() || chosen.isEmpty())
        return usage(u"batch takes a card file and --people all|ID,ID...|household:NAME"_s);
    if (!pdfFile.isEmpty() && copiesGiven)
        return usage(u"batch takes either --pdf FILE or --copies N"_s);
    if (!tray.isEmpty() && printerName.isEmpty())
        return usage(u"--tray goes with --printer"_s);

    CardFormModel form;
    if (!form.LoadCard(cardFile))
        return report(form.lastError().message(), BadCard);
    if (!form.fields().takesPeople())
        return report(CardError{cardFile, 0, u"its fields file gives no box a person field, so it cannot be filled "
                                             "from the people book"_s}
                          .message(),
                      BadCard);
    QString error;
    const auto book = PeopleBook::open(PeopleBook::chosenLocation(where), PeopleBook::Open::Existing, &error);
    if (!book)
        return report(error, BadCard);
    const auto everyone = book->people(&error);
    if (!everyone)
        return report(error, BadCard);

    // The people in the order asked for.
    std::vector<Person> people;
    if (chosen == u"all") {
        people = *everyone;
    } else if (chosen.startsWith(u"household:"_s)) {
        const QString household = chosen.mid(10).trimmed();
        for (const Person &p : *everyone) {
            if (p.value(Person::Household).compare(household, Qt::CaseInsensitive) == 0)
                people.push_back(p);
        }
        if (people.empty())
            return report(u"%1: nobody is in the household \"%2\""_s.arg(book->name(), household), BadCard);
    } else {
        for (const QString &id : chosen.split(u',')) {
            bool ok = false;
            const qint64 wanted = id.trimmed().toLongLong(&ok);
            const auto found = std::find_if(everyone->begin(), everyone->end(),
                                            [&](const Person &p) { return ok && p.id == wanted; });
            if (!ok)
                return usage(u"\"%1\" is not a person's id; --people takes all, ID,ID... or household:NAME"_s.arg(id));
            if (found == everyone->end())
                return report(u"%1: there is no person %2"_s.arg(book->name(), id.trimmed()), BadCard);
            people.push_back(*found);
        }
    }
    if (people.empty())
        return report(u"%1: the people book is empty"_s.arg(book->name()), BadCard);

    QString destination = printerName;
    if (pdfFile.isEmpty() && m_chooser)
        destination = m_chooser(printerName, tray);
    const std::optional<PrinterProfile> profile = PrinterProfiles::profile(cardFile, destination, tray);
    std::function<std::optional<QMarginsF>(const PrintPage &)> margins;
    if (pdfFile.isEmpty() && m_margins)
        margins = m_margins;
    const std::vector<GroupPrint::Page> pages = GroupPrint::pages(form, people, profile ? &*profile : nullptr, margins);
    std::vector<PrintPage> printed;
    std::vector<GroupPrint::Page> leftOut;
    for (const GroupPrint::Page &p : pages) {
        if (p.problems.isEmpty())
            printed.push_back(p.page);
        else
            leftOut.push_back(p);
    }
    // The card's own answers, once: they print on every page, as "print"
    // prints them.
    const QStringList cardProblems = pages.front().cardProblems;
    for (const QString &line : cardProblems)
        put(m_err, u"%1: %2"_s.arg(cardFile, line));
    if (strict && !cardProblems.isEmpty())
        return report(u"%1: not printed: %2 of the card's own answers do not fit or are wrong (--strict)"_s.arg(cardFile)
                          .arg(cardProblems.size()),
                      BadCard);
    for (const GroupPrint::Page &p : leftOut)
        put(m_err, u"%1: left out %2 (person %3): %4"_s.arg(cardFile, p.person.displayName()).arg(p.person.id)
                       .arg(p.problems.join(u"; "_s)));
    if (strict && !leftOut.empty())
        return report(u"%1: not printed: %2 of %3 people would be left out (--strict)"_s.arg(cardFile)
                          .arg(leftOut.size())
                          .arg(pages.size()),
                      BadCard);
    if (printed.empty())
        return report(u"%1: not printed: everyone would be left out"_s.arg(cardFile), BadCard);
    if (!pdfFile.isEmpty()) {
        if (!PdfExport::exportPages(pdfFile, printed, copies, {}, &error))
            return report(error, BadCard);
    } else {
        if (!m_pagesPrinter)
            return report(u"borvessa-card: no printer support; use --pdf FILE"_s, BadCard);
        if (!m_pagesPrinter(printed, copies, &error))
            return report(u"%1: %2"_s.arg(cardFile, error), BadCard);
        if (!error.isEmpty())
            put(m_err, u"%1: %2"_s.arg(cardFile, error));
    }
    // The names of those left out are on standard error already.
    put(m_out, GroupPrint::summary(int(printed.size()), leftOut).section(u'\n', 0, 0));
    return Ok;
}
