#pragma once

#include <QStringList>

#include <cstdio>

// The card tool: reads, checks and edits card files from the command line
// without any window. Exit codes: 0 success, 1 a bad card, 2 wrong usage.
class CardTool
{
public:
    CardTool(std::FILE *out, std::FILE *err) : m_out(out), m_err(err) {}

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
    int report(const QString &message, int code);

    std::FILE *m_out;
    std::FILE *m_err;
};
