#include "Messages.h"

#include <cstdio>

namespace Messages {

namespace {
Sink *g_sink = nullptr;
}

Sink *setSink(Sink *sink)
{
    Sink *previous = g_sink;
    g_sink = sink;
    return previous;
}

Sink *sink()
{
    return g_sink;
}

Answer show(const Message &message)
{
    if (g_sink)
        return g_sink->show(message);
    const QString title = message.title.isEmpty() ? applicationTitle() : message.title;
    std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(message.text));
    return message.defaultAnswer;
}

void inform(const QString &text, const QString &title)
{
    show({title, text, Icon::Information, Buttons::Ok, Answer::Ok});
}

void warn(const QString &text, const QString &title)
{
    show({title, text, Icon::Warning, Buttons::Ok, Answer::Ok});
}

void error(const QString &text, const QString &title)
{
    show({title, text, Icon::Critical, Buttons::Ok, Answer::Ok});
}

void notice(const QString &text)
{
    show({{}, text, Icon::Warning, Buttons::None, Answer::Ok});
}

bool confirm(const QString &text, const QString &title, bool cancelIsDefault)
{
    const Answer def = cancelIsDefault ? Answer::Cancel : Answer::Ok;
    return show({title, text, Icon::Question, Buttons::OkCancel, def}) == Answer::Ok;
}

QString applicationTitle()
{
    return QStringLiteral("Borvessa");
}

Answer RecordingSink::show(const Message &message)
{
    messages.append(message);
    if (!answers.isEmpty())
        return answers.takeFirst();
    return message.defaultAnswer;
}

QStringList RecordingSink::texts() const
{
    QStringList out;
    for (const Message &m : messages)
        out.append(m.text);
    return out;
}

} // namespace Messages
