#pragma once

#include <QString>
#include <QStringList>

// Every message the program shows to its user passes through here, so that the
// windows show a real dialog, the card tool writes to standard error, and the
// tests answer dialogs and read their texts.
namespace Messages {

enum class Icon { None, Information, Warning, Critical, Question };
// None: a passing notice that asks nothing and must not take the keyboard,
// shown beside the control that has the focus.
enum class Buttons { Ok, OkCancel, SaveDiscardCancel, None };
enum class Answer { Ok, Cancel, Save, Discard };

struct Message
{
    QString title;
    QString text;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    Answer defaultAnswer = Answer::Ok;
};

// The receiver of messages. Texts are always plain text, never markup.
class Sink
{
public:
    virtual ~Sink() = default;
    virtual Answer show(const Message &message) = 0;
};

// Installs the sink for the whole process and returns the previous one.
// Without a sink, messages go to standard error and get their default answer.
Sink *setSink(Sink *sink);
Sink *sink();

Answer show(const Message &message);

// Shortcuts for the common shapes.
void inform(const QString &text, const QString &title = {});
void warn(const QString &text, const QString &title = {});
void error(const QString &text, const QString &title = {});
bool confirm(const QString &text, const QString &title, bool cancelIsDefault = false);
// A warning that leaves the focus and the typing where they are.
void notice(const QString &text);

// The application title used where a message has no title of its own.
QString applicationTitle();

// A sink that records every message and answers from a queue; the default
// answer is used once the queue is empty. Used by tests and by the card tool.
class RecordingSink : public Sink
{
public:
    Answer show(const Message &message) override;

    QList<Message> messages;
    QList<Answer> answers;
    QStringList texts() const;
};

// Installs a sink for the lifetime of this object and restores the previous one.
class ScopedSink
{
public:
    explicit ScopedSink(Sink *sink) : m_previous(setSink(sink)) {}
    ~ScopedSink() { setSink(m_previous); }
    ScopedSink(const ScopedSink &) = delete;
    ScopedSink &operator=(const ScopedSink &) = delete;

private:
    Sink *m_previous;
};

} // namespace Messages
