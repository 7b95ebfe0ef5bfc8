#include "CardTool.h"

#include "Card.h"
#include "CardFileEnvelope.h"
#include "CardFormModel.h"
#include "Cp1252.h"
#include "Messages.h"
#include "Numbers.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {

QJsonValue number(float value)
{
    // Through the card's own number text, so 1.05 stays 1.05.
    return QJsonValue(Numbers::formatSingle(value).toDouble());
}

QJsonObject cardToJson(const Card &card)
{
    QJsonObject o;
    o[u"designMode"_s] = card.DesignMode();
    o[u"orientation"_s] = card.cardOrient();
    o[u"paperHeight"_s] = card.PaperHt();
    o[u"paperWidth"_s] = card.PaperWdth();
    o[u"leftMargin"_s] = card.varLeftPrintMargin();
    o[u"enlarge"_s] = number(card.varEnlarge());
    o[u"printFontSize"_s] = number(card.varFontSizeForPrting());
    o[u"printFont"_s] = card.varFontForPrting();
    o[u"picture"_s] = QJsonObject{{u"top"_s, number(card.CardImageTop())},
                                  {u"left"_s, number(card.CardImageLeft())},
                                  {u"width"_s, number(card.CardImageWidth())},
                                  {u"height"_s, number(card.CardImageHeight())}};
    QJsonArray controls;
    for (const CardCtrl &c : card.colCardCtrls()) {
        controls.append(QJsonObject{{u"box"_s, c.fldName},       {u"label"_s, c.fldText},
                                    {u"height"_s, c.height},     {u"left"_s, c.left_c},
                                    {u"top"_s, c.top_r},         {u"width"_s, c.wdth},
                                    {u"backcolor"_s, c.backcolor}, {u"fontName"_s, c.fontName},
                                    {u"fontSize"_s, c.fontsize}, {u"visible"_s, c.visible},
                                    {u"tabOrder"_s, c.tabOrder}});
    }
    o[u"controls"_s] = controls;
    QJsonArray answers;
    for (const clsAnsw &a : card.colAnsws())
        answers.append(QJsonObject{{u"box"_s, a.ControlNum}, {u"text"_s, a.Answ}});
    o[u"answers"_s] = answers;
    QJsonArray questions;
    for (const Question &q : card.colQuests())
        questions.append(QJsonObject{{u"box"_s, q.ControlNum}, {u"text"_s, q.question}});
    o[u"questions"_s] = questions;
    return o;
}

void write(std::FILE *f, const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f);
}

} // namespace

int CardTool::report(const QString &message, int code)
{
    write(m_err, message.toLocal8Bit() + '\n');
    return code;
}

int CardTool::usage(const QString &problem)
{
    if (!problem.isEmpty())
        report(u"borvessa-card: "_s + problem, Usage);
    write(m_err,
          "usage: borvessa-card decrypt CARD\n"
          "       borvessa-card encrypt CARD   (card text on standard input)\n"
          "       borvessa-card show CARD [--reset]\n"
          "       borvessa-card check CARD...   (also the CARD.fields file beside it)\n"
          "       borvessa-card get CARD LINE\n"
          "       borvessa-card set CARD LINE TEXT\n"
          "       borvessa-card print CARD [--copies N] [--pdf FILE] [--printer NAME [--tray TRAY]]\n"
          "                               [--alignment] [--strict]\n"
          "           prints the saved answers on the default printer or on NAME, with\n"
          "           that printer's calibration of the card where it has one, or into\n"
          "           a PDF file with --pdf (as it would print on NAME, if given); N is\n"
          "           1 to 999 pages (default 1); --alignment adds each box's outline,\n"
          "           for a test on plain paper. Answers that will not land in their\n"
          "           fields go to standard error; with --strict nothing is printed\n"
          "           then and the exit code is 1\n"
          "       borvessa-card calibrate CARD --sheet [--pdf FILE] [--printer NAME [--tray TRAY]]\n"
          "           prints the calibration sheet (marks A and B) on the card's paper\n"
          "       borvessa-card calibrate CARD --measured AX,AY,BX,BY [--printer NAME [--tray TRAY]]\n"
          "                                   [--dry-run]\n"
          "           solves the printer from where the marks landed (millimetres from\n"
          "           the paper's left and top edges); with --printer keeps that as the\n"
          "           card's calibration for NAME in your settings, else sets the card's\n"
          "           own enlargement, margin and layout; --dry-run only shows the solution\n"
          "       borvessa-card people import FILE.csv [--book BOOK]\n"
          "           adds the people of a CSV file (header row of person fields; UTF-8 or\n"
          "           Windows-1252; \",\" or \";\") in one go; names each refused row\n"
          "       borvessa-card people list [--book BOOK] [--json]\n"
          "       borvessa-card people export FILE.csv [--book BOOK]\n"
          "       borvessa-card batch CARD --people all|ID,ID...|household:NAME [--book BOOK]\n"
          "                           (--pdf FILE | --copies N) [--printer NAME [--tray TRAY]] [--strict]\n"
          "           one page a person, in the order given, with the card's own trip\n"
          "           answers; those whose page has faults are left out and named on\n"
          "           standard error; with --strict nothing is printed then (exit 1).\n"
          "           BOOK is a file or postgresql://user@host:port/name (default: the\n"
          "           book in your settings, else ~/.local/share/Borvessa/people.sqlite)\n");
    return Usage;
}

int CardTool::runApplication(const std::function<void(CardTool &)> &prepare)
{
    // Messages of the crypto service are folded into the tool's own error
    // lines; nothing is ever shown in a window.
    Messages::RecordingSink sink;
    Messages::ScopedSink scoped(&sink);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    CardTool tool(stdout, stderr);
    if (prepare)
        prepare(tool);
    return tool.run(args);
}

void CardTool::silenceQtWarnings()
{
    static const QtMessageHandler qtDefault = qInstallMessageHandler(nullptr);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            qtDefault(type, context, text);
    });
}

bool CardTool::isPrintingCommand(const QString &command)
{
    return command == u"print" || command == u"calibrate" || command == u"batch";
}

int CardTool::run(const QStringList &args)
{
    if (args.isEmpty())
        return usage();
    const QString command = args.first();
    const QStringList rest = args.mid(1);
    if (command == u"decrypt")
        return decrypt(rest);
    if (command == u"encrypt")
        return encrypt(rest);
    if (command == u"show")
        return show(rest);
    if (command == u"check")
        return check(rest);
    if (command == u"get")
        return get(rest);
    if (command == u"set")
        return set(rest);
    if (command == u"print")
        return print(rest);
    if (command == u"calibrate")
        return calibrate(rest);
    if (command == u"people")
        return people(rest);
    if (command == u"batch")
        return batch(rest);
    if (command == u"--help" || command == u"-h" || command == u"help") {
        usage();
        return Ok;
    }
    return usage(u"unknown command \"%1\""_s.arg(command));
}

int CardTool::decrypt(const QStringList &args)
{
    if (args.size() != 1)
        return usage(u"decrypt takes one card file"_s);
    QByteArray text;
    QString reason;
    if (!CardFileEnvelope::readCardFile(args.first(), &text, &reason))
        return report(CardError{args.first(), 0, reason}.message(), BadCard);
    write(m_out, text);
    return Ok;
}

int CardTool::encrypt(const QStringList &args)
{
    if (args.size() != 1)
        return usage(u"encrypt takes one card file"_s);
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return report(u"borvessa-card: cannot read standard input"_s, Usage);
    const QByteArray text = in.readAll();
    QString reason;
    if (!CardFileEnvelope::writeCardFile(args.first(), text, &reason))
        return report(CardError{args.first(), 0, reason}.message(), BadCard);
    return Ok;
}

int CardTool::show(const QStringList &args)
{
    QStringList files = args;
    const bool reset = files.removeAll(u"--reset"_s) > 0;
    if (files.size() != 1)
        return usage(u"show takes one card file"_s);
    Card card;
    card.setVarRestCard(reset);
    if (!card.LoadCard(files.first()))
        return report(card.lastError().message(), BadCard);
    if (const CardError fault = CardFormModel::windowFault(card); !fault.isNull())
        return report(fault.message(), BadCard);
    write(m_out, QJsonDocument(cardToJson(card)).toJson(QJsonDocument::Indented));
    return Ok;
}

int CardTool::check(const QStringList &args)
{
    if (args.isEmpty())
        return usage(u"check takes one or more card files"_s);
    int result = Ok;
    for (const QString &file : args) {
        // The rules of the card model, those of the card window and those of
        // the fields file beside the card: what opening the card checks.
        CardError fault;
        if (!CardFormModel::readCard(file, &fault))
            result = report(fault.message(), BadCard);
    }
    return result;
}

// Reads the card string of a file for get and set; a card that does not load
// as a whole can still be read and mended line by line.
static bool readCardText(const QString &file, Card *card, QString *error)
{
    QByteArray text;
    QString reason;
    if (!CardFileEnvelope::readCardFile(file, &text, &reason)) {
        *error = CardError{file, 0, reason}.message();
        return false;
    }
    card->setCardName(file);
    card->setCardStr(Cp1252::decode(text));
    return true;
}

static bool parseLineNumber(const QString &text, int *line)
{
    bool ok = false;
    *line = text.toInt(&ok);
    return ok && *line >= 2;
}

int CardTool::get(const QStringList &args)
{
    int line = 0;
    if (args.size() != 2)
        return usage(u"get takes a card file and a line number"_s);
    if (!parseLineNumber(args.at(1), &line))
        return usage(u"\"%1\" is not a line number (2 or more)"_s.arg(args.at(1)));
    Card card;
    QString error;
    if (!readCardText(args.first(), &card, &error))
        return report(error, BadCard);
    if (!card.FetchLine(line))
        return report(card.lastError().message(), BadCard);
    write(m_out, Cp1252::encode(card.Line()) + '\n');
    return Ok;
}

int CardTool::set(const QStringList &args)
{
    int line = 0;
    if (args.size() != 3)
        return usage(u"set takes a card file, a line number and the new text"_s);
    if (!parseLineNumber(args.at(1), &line))
        return usage(u"\"%1\" is not a line number (2 or more)"_s.arg(args.at(1)));
    const QString text = args.at(2);
    if (text.contains(u'\r') || text.contains(u'\n'))
        return report(u"borvessa-card: the new text must not contain a line break"_s, Usage);
    const QChar bad = Cp1252::firstUnencodable(text);
    if (!bad.isNull())
        return report(u"borvessa-card: the character \"%1\" (U+%2) cannot be stored in a card file"_s.arg(
                          QString(bad), QString::number(bad.unicode(), 16).toUpper().rightJustified(4, u'0')),
                      Usage);
    Card card;
    QString error;
    if (!readCardText(args.first(), &card, &error))
        return report(error, BadCard);
    if (!card.SaveValueToCardStr(text, line, QString()) || !card.EncryptFileStr())
        return report(card.lastError().message(), BadCard);
    return Ok;
}
