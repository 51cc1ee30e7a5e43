#include "framework/ProgressPump.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace ProgressPump
{
void PumpMessages()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

int Percent(int position, int lower, int upper)
{
    const long long span = static_cast<long long>(upper) - lower;
    if (span <= 0)
        return 100;
    return static_cast<int>((static_cast<long long>(position) - lower) * 100 / span);
}

QString PercentText(int position, int lower, int upper)
{
    return QStringLiteral("%1%").arg(Percent(position, lower, upper));
}
} // namespace ProgressPump
