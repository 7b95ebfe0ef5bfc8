#include "CardTool.h"

#include "CardFormModel.h"
#include "PdfExport.h"
#include "PrintLayout.h"

using namespace Qt::StringLiterals;

// The printing commands of the card tool. This file belongs to the printing
// module, which links Qt Gui and the printer; the tool itself never does.

void CardTool::enablePrinting()
{
    m_printing = [this](const QString &command, const QStringList &args) {
        return runPrinting(command, args);
    };
}

int CardTool::runPrinting(const QString &command, const QStringList &args)
{
    if (command == u"print")
        return print(args);
    return usage(u"unknown command \"%1\""_s.arg(command));
}

int CardTool::print(const QStringList &args)
{
    constexpr int MaxCopies = 999;
    QString cardFile;
    QString pdfFile;
    int copies = 1;
    RenderOptions options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == u"--copies" || arg == u"--pdf") {
            if (i + 1 >= args.size())
                return usage(u"%1 needs a value"_s.arg(arg));
            const QString value = args.at(++i);
            if (arg == u"--pdf") {
                pdfFile = value;
                continue;
            }
            bool ok = false;
            copies = value.toInt(&ok);
            if (!ok || copies < 1 || copies > MaxCopies)
                return usage(u"\"%1\" is not a number of copies (1 to %2)"_s.arg(value).arg(MaxCopies));
        } else if (arg == u"--alignment") {
            options.drawOutlines = true;
        } else if (arg.startsWith(u"--") || !cardFile.isEmpty()) {
            return usage(u"print does not take \"%1\""_s.arg(arg));
        } else {
            cardFile = arg;
        }
    }
    if (cardFile.isEmpty())
        return usage(u"print takes one card file"_s);

    // The boxes exactly where the card window puts them after loading.
    CardFormModel form;
    if (!form.LoadCard(cardFile))
        return report(form.lastError().message(), BadCard);
    const PrintPage page = PrintLayout::page(form);
    QString error;
    if (!pdfFile.isEmpty()) {
        if (!PdfExport::exportPdf(pdfFile, page, copies, options, &error))
            return report(error, BadCard);
        return Ok;
    }
    if (!m_printer)
        return report(u"borvessa-card: no printer support; use --pdf FILE"_s, BadCard);
    if (!m_printer(page, copies, options, &error))
        return report(u"%1: %2"_s.arg(cardFile, error), BadCard);
    return Ok;
}
