#include "platform/RecordingMessages.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QStringList>
#include <QTimer>

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
    const int answer = m_answers.isEmpty() ? DefaultAnswer(flags) : m_answers.dequeue();
    // A real box serves the event queue until it is answered: timers, posted events and
    // deferred work run inside it, so the caller must survive what they do.
    if (QCoreApplication::instance())
    {
        QEventLoop loop;
        QTimer::singleShot(0, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return answer;
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
