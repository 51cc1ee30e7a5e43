#pragma once
// The viewer's console lines: progress and file lines on standard output, error messages
// on standard error, in the locale's character set. Tests capture both streams.
#include <QString>

namespace Console
{
void Out(const QString& text);
void Err(const QString& text);

class Capture
{
public:
    Capture();
    ~Capture();
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;
    QString out;
    QString err;

private:
    Capture* m_previous;
};
} // namespace Console
