#pragma once
// The framework's guard around a command handler: nothing the handler throws goes further.
#include <functional>

// Runs the handler. An allocation failure shows the message `memoryMessage`, any other
// exception `failureMessage` (string ids of the program's table), both with the stop icon.
// False when the handler threw.
bool RunCommandHandler(const std::function<void()>& handler, unsigned memoryMessage,
                       unsigned failureMessage);
