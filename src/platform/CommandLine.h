#pragma once
// A command line as a program and its argument vector; never re-split from a string.
#include <QString>
#include <QStringList>

class CommandLine
{
public:
    CommandLine() = default;
    CommandLine(QString program, QStringList arguments = {})
        : program(std::move(program)), arguments(std::move(arguments))
    {
    }

    QString program;
    QStringList arguments;
    // Variables added to the program's environment ("NAME=value").
    QStringList environment;
    // A Windows program run through Wine: its file (the program above is Wine's loader).
    // What Wine printed then tells its own failures from the program's.
    QString windowsProgram;
    // A Windows program that no loader here can run (an i386 program where no 32-bit loader
    // runs): such a command is never started.
    bool cannotRun32 = false;

    // Display form: the program always quoted, an argument quoted when it is empty or holds
    // a blank, TAB or quote (inner quotes escaped with a backslash): "prog" -a "b c".
    QString toString() const;

    bool operator==(const CommandLine&) const = default;
};
