#pragma once
// The message pump and percent arithmetic behind the progress dialogs of both editors:
// long work runs on the user-interface thread and stays responsive by emptying the event
// queue at each progress step.
#include <QString>

namespace ProgressPump
{
// Dispatches every pending event and returns when the queue is empty. Input to disabled
// windows is refused by the toolkit as usual.
void PumpMessages();

// (position - lower) x 100 / (upper - lower), integer division; a range of zero width
// counts as full.
int Percent(int position, int lower, int upper);

// The percent text "37%" of a position.
QString PercentText(int position, int lower, int upper);
} // namespace ProgressPump
