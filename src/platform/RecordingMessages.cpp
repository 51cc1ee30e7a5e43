#include "platform/RecordingMessages.h"

#include <QStringList>

RecordingMessages::RecordingMessages() : m_previous(&Messages::Current())
{
    Messages::SetCurrent(this);
}

RecordingMessages::~RecordingMessages()
{
    if (&Messages::Current() == this)
        Messages::SetCurrent(m_previous);
}

int RecordingMessages::Show(const QString& text, unsigned flags, const QString& caption)
{
    m_shown.append({text, flags, caption});
    return m_answers.isEmpty() ? DefaultAnswer(flags) : m_answers.dequeue();
}

void RecordingMessages::Answer(int result)
{
    m_answers.enqueue(result);
}

QStringList RecordingMessages::texts() const
{
    QStringList out;
    for (const ShownMessage& m : m_shown)
        out << m.text;
    return out;
}

void RecordingMessages::Clear()
{
    m_shown.clear();
    m_answers.clear();
}
