#pragma once
// A message backend for tests: records every box and answers from a script, serving the
// events meanwhile as a shown box does.
#include "platform/Messages.h"

#include <QList>
#include <QQueue>

struct ShownMessage
{
    QString text;
    unsigned flags = 0;
    QString caption;
};

class RecordingMessages : public Messages
{
public:
    // Installs itself as the current backend; the previous one comes back on destruction.
    RecordingMessages();
    ~RecordingMessages() override;

    int Show(const QString& text, unsigned flags, const QString& caption) override;

    // Queues the answer of the next unanswered box; without one, the default button.
    void Answer(int result);

    const QList<ShownMessage>& shown() const { return m_shown; }
    QStringList texts() const;
    void Clear();

private:
    Messages* m_previous = nullptr;
    QList<ShownMessage> m_shown;
    QQueue<int> m_answers;
};
