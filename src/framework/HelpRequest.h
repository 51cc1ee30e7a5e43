#pragma once
// "--help" on a window program's command line: its usage goes to standard output and the
// program ends before it needs a display, so the question can be asked from any terminal.
#include <QString>

// True, after printing the usage, when an element of the command line is "--help".
bool AnswerHelpRequest(int argc, char** argv, const QString& usage);
