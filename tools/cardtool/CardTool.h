#pragma once

#include <QStringList>

#include <cstdio>
#include <functional>

struct PrintPage;
struct RenderOptions;

// The card tool: reads, checks and edits card files from the command line
// without any window. Exit codes: 0 success, 1 a bad card, 2 wrong usage.
class CardTool
{
public:
    CardTool(std::FILE *out, std::FILE *err) : m_out(out), m_err(err) {}

    // Sends pages to the default printer; false with the reason on failure.
    using PrinterFunction = std::function<bool(const PrintPage &page, int copies,
                                               const RenderOptions &options, QString *error)>;
    // Printing without --pdf needs the printer, which lives outside the core.
    void setPrinter(PrinterFunction printer) { m_printer = std::move(printer); }

    // args excludes the program name.
    int run(const QStringList &args);

    enum Exit { Ok = 0, BadCard = 1, Usage = 2 };

private:
    int usage(const QString &problem = {});
    int decrypt(const QStringList &args);
    int encrypt(const QStringList &args);
    int show(const QStringList &args);
    int check(const QStringList &args);
    int get(const QStringList &args);
    int set(const QStringList &args);
    int print(const QStringList &args);
    int report(const QString &message, int code);

    std::FILE *m_out;
    std::FILE *m_err;
    PrinterFunction m_printer;
};
