#include "tovkfeedbackviewer/Console.h"

#include "platform/Path.h"

#include <cstdio>

namespace
{
Console::Capture* g_capture = nullptr;

void Write(std::FILE* stream, const QString& text)
{
    // A path in the text comes out as the bytes it was given as.
    const QByteArray bytes = Path::EncodeName(text);
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}
} // namespace

namespace Console
{
void Out(const QString& text)
{
    if (g_capture)
        g_capture->out += text;
    else
        Write(stdout, text);
}

void Err(const QString& text)
{
    if (g_capture)
        g_capture->err += text;
    else
        Write(stderr, text);
}

Capture::Capture() : m_previous(g_capture)
{
    g_capture = this;
}

Capture::~Capture()
{
    g_capture = m_previous;
}
} // namespace Console
