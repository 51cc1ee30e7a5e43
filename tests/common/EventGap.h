#pragma once
// The longest time the event loop went without serving events while the probe lived: a
// timer that asks for a tick every millisecond notes the longest pause between two ticks.
// For the figures the benchmarks report, never for timed assertions.
#include <QElapsedTimer>
#include <QTimer>
#include <QtGlobal>

class EventGapProbe
{
public:
    EventGapProbe()
    {
        m_clock.start();
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this]
                         {
                             const qint64 now = m_clock.elapsed();
                             m_longest = qMax(m_longest, now - m_last);
                             m_last = now;
                         });
        m_timer.start(1);
    }
    qint64 LongestGapMs() const { return m_longest; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};
