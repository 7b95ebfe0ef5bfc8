#include "CardFields.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 MaxFileSize = 1 << 20;

QString quoted(const QString &question)
{
    return u"\u201C"_s + question.simplified() + u"\u201D"_s;
}

QString valueQuoted(const QString &value)
{
    return u"\u201C"_s + value + u"\u201D"_s;
}

bool allDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

std::optional<int> boxNumber(const QString &token)
{
    if (!allDigits(token) || token.size() > 2)
        return std::nullopt;
    const int n = token.toInt();
    return n < CardFields::BoxCount ? std::optional<int>(n) : std::nullopt;
}

std::optional<CardFields::Kind> kindNamed(const QString &word)
{
    using Kind = CardFields::Kind;
    static const QList<std::pair<QString, Kind>> kinds{
        {u"text"_s, Kind::Text},   {u"tick"_s, Kind::Tick}, {u"capitals"_s, Kind::Capitals},
        {u"year"_s, Kind::Year},   {u"month"_s, Kind::Month}, {u"day"_s, Kind::Day}};
    for (const auto &[name, kind] : kinds) {
        if (name == word)
            return kind;
    }
    return std::nullopt;
}

std::optional<CardFields::Rule> ruleNamed(const QString &word)
{
    using Rule = CardFields::Rule;
    if (word == u"at-most-one")
        return Rule::AtMostOne;
    if (word == u"exactly-one")
        return Rule::ExactlyOne;
    if (word == u"at-least-one")
        return Rule::AtLeastOne;
    return std::nullopt;
}

QString partName(CardFields::Kind part)
{
    switch (part) {
    case CardFields::Kind::Year:
        return u"year"_s;
    case CardFields::Kind::Month:
        return u"month"_s;
    default:
        return u"day"_s;
    }
}

bool isName(const QString &word)
{
    static const QRegularExpression name(u"^[A-Za-z0-9_.-]+$"_s);
    return name.match(word).hasMatch();
}

} // namespace

QString CardFields::fileFor(const QString &cardFile)
{
    const QFileInfo info(cardFile);
    const QDir dir = info.absoluteDir();
    const QString wanted = info.completeBaseName() + u".fields"_s;
    if (QFileInfo::exists(dir.filePath(wanted)))
        return dir.filePath(wanted);
    for (const QString &entry : dir.entryList(QDir::Files | QDir::Hidden)) {
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return dir.filePath(wanted);
}

std::optional<CardFields> CardFields::read(const QString &path, CardError *error)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        CardFields none;
        none.m_file = path;
        return none;
    }
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        *error = {path, 0, u"cannot be read: %1"_s.arg(info.isFile() ? file.errorString() : u"it is not a file"_s)};
        return std::nullopt;
    }
    if (file.size() > MaxFileSize) {
        *error = {path, 0, u"is too large for a fields file (over 1 MiB)"_s};
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = {path, 0, u"cannot be read: %1"_s.arg(file.errorString())};
        return std::nullopt;
    }
    return parse(path, bytes, error);
}

std::optional<CardFields> CardFields::parse(const QString &path, const QByteArray &bytes, CardError *error)
{
    CardFields f;
    f.m_file = path;
    f.m_described = true;
    std::array<int, BoxCount> declaredOn{};
    std::array<int, BoxCount> groupedOn{};
    bool languageSet = false;

    const QList<QByteArray> rawLines = bytes.split('\n');
    for (qsizetype i = 0; i < rawLines.size(); ++i) {
        const int lineNo = int(i) + 1;
        const auto fail = [&](const QString &reason) {
            *error = {path, lineNo, reason};
            return std::nullopt;
        };
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString line = decoder.decode(rawLines.at(i));
        if (decoder.hasError())
            return fail(u"is not UTF-8 text"_s);
        if (const qsizetype hash = line.indexOf(u'#'); hash >= 0)
            line.truncate(hash);
        QStringList words = line.split(QRegularExpression(u"\\s+"_s), Qt::SkipEmptyParts);
        if (words.isEmpty())
            continue;
        const QString &statement = words.first();

        if (statement == u"language") {
            if (words.size() != 2)
                return fail(u"\"language\" takes one language tag, such as en-CA"_s);
            if (languageSet)
                return fail(u"the language is already set"_s);
            const QLocale locale(words[1]);
            if (locale.language() == QLocale::C || !isName(words[1]))
                return fail(u"\"%1\" is not a language this system knows"_s.arg(words[1]));
            f.m_language = words[1];
            languageSet = true;
        } else if (statement == u"box") {
            // "person PATTERN" at the end: the rest of the line is the pattern.
            std::optional<PersonPattern> pattern;
            if (const qsizetype at = words.indexOf(u"person"_s); at >= 0) {
                static const QRegularExpression clause(u"\\sperson(\\s|$)"_s);
                const QString rest = line.mid(line.indexOf(clause) + 7).trimmed();
                if (rest.isEmpty())
                    return fail(u"\"person\" takes a pattern of person fields, such as {surname}"_s);
                QString reason;
                pattern = PersonPattern::parse(rest, &reason);
                if (!pattern)
                    return fail(reason);
                words = words.mid(0, at);
            }
            if (words.size() < 3 || words.size() > 4)
                return fail(u"\"box\" takes a box number, a kind, for a date its name, and may end with \"person\" and a pattern"_s);
            const std::optional<int> box = boxNumber(words[1]);
            if (!box)
                return fail(u"\"%1\" is not a box number (0 to 95)"_s.arg(words[1]));
            if (declaredOn[*box])
                return fail(u"box %1 is already described on line %2"_s.arg(*box).arg(declaredOn[*box]));
            const std::optional<Kind> kind = kindNamed(words[2]);
            if (!kind)
                return fail(u"\"%1\" is not a kind of answer (text, tick, capitals, year, month, day)"_s.arg(words[2]));
            const bool datePart = *kind == Kind::Year || *kind == Kind::Month || *kind == Kind::Day;
            if (datePart && words.size() != 4)
                return fail(u"a %1 box names the date it belongs to"_s.arg(words[2]));
            if (!datePart && words.size() != 3)
                return fail(u"a %1 box takes nothing after its kind"_s.arg(words[2]));
            if (datePart) {
                if (!isName(words[3]))
                    return fail(u"\"%1\" is not a name (letters, digits, _ . -)"_s.arg(words[3]));
                for (int other = 0; other < BoxCount; ++other) {
                    if (f.m_kinds[other] == *kind && f.m_dates[other] == words[3])
                        return fail(u"the date \"%1\" already has its %2 in box %3"_s.arg(words[3], words[2])
                                        .arg(other));
                }
                f.m_dates[*box] = words[3];
            }
            if (pattern && *kind == Kind::Tick)
                return fail(u"a tick box cannot take a person field"_s);
            f.m_kinds[*box] = *kind;
            if (pattern)
                f.m_people[*box] = *pattern;
            declaredOn[*box] = lineNo;
        } else if (statement == u"group") {
            if (words.size() < 5)
                return fail(u"\"group\" takes a name, a rule and two or more box numbers"_s);
            if (!isName(words[1]))
                return fail(u"\"%1\" is not a name (letters, digits, _ . -)"_s.arg(words[1]));
            for (const Group &g : f.m_groups) {
                if (g.name == words[1])
                    return fail(u"the group \"%1\" is already described on line %2"_s.arg(g.name).arg(g.line));
            }
            const std::optional<Rule> rule = ruleNamed(words[2]);
            if (!rule)
                return fail(u"\"%1\" is not a group rule (at-most-one, exactly-one, at-least-one)"_s.arg(words[2]));
            Group g{words[1], *rule, {}, lineNo};
            for (qsizetype w = 3; w < words.size(); ++w) {
                const std::optional<int> box = boxNumber(words[w]);
                if (!box)
                    return fail(u"\"%1\" is not a box number (0 to 95)"_s.arg(words[w]));
                if (groupedOn[*box])
                    return fail(u"box %1 is already in a group on line %2"_s.arg(*box).arg(groupedOn[*box]));
                groupedOn[*box] = lineNo;
                g.boxes.append(*box);
            }
            f.m_groups.push_back(std::move(g));
        } else {
            return fail(u"\"%1\" is not a statement of a fields file (language, box, group)"_s.arg(statement));
        }
    }

    // A group holds tick boxes only, wherever in the file the boxes are described.
    for (const Group &g : f.m_groups) {
        for (const int box : g.boxes) {
            if (f.m_kinds[box] != Kind::Tick) {
                *error = {path, g.line, u"box %1 of the group \"%2\" is not a tick box"_s.arg(box).arg(g.name)};
                return std::nullopt;
            }
        }
    }
    return f;
}

bool CardFields::isDatePart(int box) const
{
    const Kind k = kind(box);
    return k == Kind::Year || k == Kind::Month || k == Kind::Day;
}

const CardFields::Group *CardFields::groupOf(int box) const
{
    for (const Group &g : m_groups) {
        if (g.boxes.contains(box))
            return &g;
    }
    return nullptr;
}

QString CardFields::printedText(int box, const QString &answer) const
{
    switch (kind(box)) {
    case Kind::Tick:
        return isTicked(answer) ? u"X"_s : QString();
    case Kind::Capitals:
        // The card's language decides, never the user's locale: "i" is "I"
        // on an English card also under a Turkish locale.
        return QLocale(m_language).toUpper(answer);
    default:
        return answer;
    }
}

QString CardFields::completedAnswer(int box, const QString &answer) const
{
    const Kind k = kind(box);
    if (k != Kind::Month && k != Kind::Day)
        return answer;
    const QString t = answer.trimmed();
    return t.size() == 1 && allDigits(t) ? u"0"_s + t : answer;
}

QString CardFields::groupTitle(const Group &group, const std::function<QString(int)> &question) const
{
    QStringList questions;
    for (const int box : group.boxes)
        questions.append(question(box).simplified());
    QString prefix = questions.value(0);
    for (const QString &q : std::as_const(questions)) {
        qsizetype n = 0;
        while (n < prefix.size() && n < q.size() && prefix[n] == q[n])
            ++n;
        prefix.truncate(n);
    }
    // Never end inside a word that the questions go on with differently.
    const auto goesOnInAWord = [&] {
        for (const QString &q : std::as_const(questions)) {
            if (q.size() > prefix.size() && q[prefix.size()].isLetterOrNumber())
                return true;
        }
        return false;
    };
    while (!prefix.isEmpty() && prefix.back().isLetterOrNumber() && goesOnInAWord())
        prefix.chop(1);
    while (!prefix.isEmpty() && (prefix.back().isSpace() || prefix.back() == u':' || prefix.back() == u'-'
                                 || prefix.back() == u'>' || prefix.back() == u'('))
        prefix.chop(1);
    qsizetype letters = 0;
    for (const QChar c : std::as_const(prefix))
        letters += c.isLetter() ? 1 : 0;
    return letters >= 3 ? prefix : group.name;
}

std::vector<CardFields::Fault> CardFields::faults(const Answers &answers) const
{
    std::vector<Fault> out;
    for (const Group &g : m_groups) {
        QList<int> shown;
        QList<int> ticked;
        for (const int box : g.boxes) {
            if (!answers.visible(box))
                continue;
            shown.append(box);
            if (isTicked(answers.answer(box)))
                ticked.append(box);
        }
        if (shown.isEmpty())
            continue;
        const QString title = quoted(groupTitle(g, answers.question));
        if (g.rule != Rule::AtLeastOne && ticked.size() > 1)
            out.push_back({ticked.first(),
                           u"%1: %2 boxes are ticked; only one may be"_s.arg(title).arg(ticked.size()), true});
        if (g.rule != Rule::AtMostOne && ticked.isEmpty())
            out.push_back({shown.first(), u"%1: no box is ticked"_s.arg(title), false});
    }
    dateFaults(answers, &out);
    return out;
}

void CardFields::dateFaults(const Answers &answers, std::vector<Fault> *out) const
{
    QStringList dates;
    for (int box = 0; box < BoxCount; ++box) {
        if (isDatePart(box) && answers.visible(box) && !dates.contains(m_dates[box]))
            dates.append(m_dates[box]);
    }
    for (const QString &date : std::as_const(dates)) {
        std::optional<int> parts[3]; // year, month, day: the box of each
        QString text[3];
        for (int box = 0; box < BoxCount; ++box) {
            if (!isDatePart(box) || m_dates[box] != date || !answers.visible(box))
                continue;
            const int slot = m_kinds[box] == Kind::Year ? 0 : m_kinds[box] == Kind::Month ? 1 : 2;
            parts[slot] = box;
            text[slot] = answers.answer(box).trimmed();
        }
        if (text[0].isEmpty() && text[1].isEmpty() && text[2].isEmpty())
            continue;
        const auto fault = [&](int slot, const QString &what, bool marked) {
            out->push_back({*parts[slot], u"%1: %2"_s.arg(quoted(answers.question(*parts[slot])), what), marked});
        };
        for (int slot = 0; slot < 3; ++slot) {
            if (parts[slot] && text[slot].isEmpty())
                fault(slot, u"the date has no %1"_s.arg(partName(slot == 0 ? Kind::Year : slot == 1 ? Kind::Month
                                                                                              : Kind::Day)),
                      false);
        }
        std::optional<int> year;
        std::optional<int> month;
        if (parts[0] && !text[0].isEmpty()) {
            if (allDigits(text[0]) && text[0].size() == 4 && text[0].toInt() >= 1)
                year = text[0].toInt();
            else
                fault(0, u"%1 is not a year (four digits)"_s.arg(valueQuoted(text[0])), true);
        }
        if (parts[1] && !text[1].isEmpty()) {
            if (allDigits(text[1]) && text[1].size() <= 2 && text[1].toInt() >= 1 && text[1].toInt() <= 12)
                month = text[1].toInt();
            else
                fault(1, u"%1 is not a month (01 to 12)"_s.arg(valueQuoted(text[1])), true);
        }
        if (parts[2] && !text[2].isEmpty()) {
            const int day = allDigits(text[2]) && text[2].size() <= 2 ? text[2].toInt() : 0;
            // Without a year, 29 February may still be right.
            const int last = month ? QDate(year.value_or(2000), *month, 1).daysInMonth() : 31;
            if (day < 1 || day > last) {
                QString of;
                if (month && day >= 1 && day <= 31) {
                    of = u" of "_s + QLocale(QLocale::English).monthName(*month);
                    if (year)
                        of += u' ' + QString::number(*year);
                }
                fault(2, u"%1 is not a day%2"_s.arg(valueQuoted(text[2]), of), true);
            }
        }
    }
}

std::array<QString, CardFields::BoxCount> CardFields::marks(const Answers &answers) const
{
    std::array<QString, BoxCount> marked;
    for (const Fault &f : faults(answers)) {
        if (!f.marked)
            continue;
        marked[f.box] = f.message;
        // Every tick of an over-ticked group shows it, not only the first.
        if (const Group *g = groupOf(f.box)) {
            for (const int box : g->boxes) {
                if (answers.visible(box) && isTicked(answers.answer(box)))
                    marked[box] = f.message;
            }
        }
    }
    return marked;
}

std::array<bool, CardFields::BoxCount> CardFields::faultyBoxes(const Answers &answers) const
{
    const std::array<QString, BoxCount> why = marks(answers);
    std::array<bool, BoxCount> faulty{};
    for (int i = 0; i < BoxCount; ++i)
        faulty[i] = !why[i].isEmpty();
    return faulty;
}

bool CardFields::takesPeople() const
{
    return std::any_of(m_people.begin(), m_people.end(), [](const PersonPattern &p) { return !p.isEmpty(); });
}
