#include "framework/HelpRequest.h"

#include <QByteArray>
#include <cstdio>
#include <cstring>

bool AnswerHelpRequest(int argc, char** argv, const QString& usage)
{
    for (int i = 1; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--help") == 0)
        {
            const QByteArray text = usage.toUtf8();
            std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout);
            std::fflush(stdout);
            return true;
        }
    }
    return false;
}
