#include "ToolRun.h"

#include "CardTool.h"

#include <cstdio>

static QByteArray readAll(std::FILE *f)
{
    std::fflush(f);
    std::rewind(f);
    QByteArray out;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        out.append(buf, qsizetype(n));
    std::fclose(f);
    return out;
}

ToolRun runTool(const QStringList &args)
{
    std::FILE *out = std::tmpfile();
    std::FILE *err = std::tmpfile();
    ToolRun r;
    r.code = CardTool(out, err).run(args);
    r.out = readAll(out);
    r.err = readAll(err);
    return r;
}
