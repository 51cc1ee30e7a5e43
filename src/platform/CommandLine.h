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

    // Display form: the program always quoted, an argument quoted when it is empty or holds
    // a blank, TAB or quote (inner quotes escaped with a backslash): "prog" -a "b c".
    QString toString() const;

    bool operator==(const CommandLine&) const = default;
};
