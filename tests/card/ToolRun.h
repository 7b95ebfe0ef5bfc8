#pragma once

#include <QByteArray>
#include <QStringList>

// Runs the card tool in this process and keeps what it wrote.
struct ToolRun
{
    int code = 0;
    QByteArray out;
    QByteArray err;
};

ToolRun runTool(const QStringList &args);
