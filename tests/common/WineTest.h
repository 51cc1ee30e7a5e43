#pragma once
// What the tests that run the Windows stand-ins through Wine share.
#include "common/TestSupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

// In a fixture's SetUp or a test: skips where Wine or the stand-ins are not there, fails
// where Wine is there but its prefix cannot be made.
#define REQUIRE_WINE()                                                                             \
    do                                                                                             \
    {                                                                                              \
        QString wineReason;                                                                        \
        switch (TestSupport::SetUpWine(wineReason))                                                \
        {                                                                                          \
        case TestSupport::WineSetup::Unavailable:                                                  \
            GTEST_SKIP() << wineReason.toStdString();                                              \
        case TestSupport::WineSetup::Failed:                                                       \
            FAIL() << wineReason.toStdString();                                                    \
        case TestSupport::WineSetup::Ready:                                                        \
            break;                                                                                 \
        }                                                                                          \
    } while (false)

namespace TestSupport
{
// Copies the Windows stand-in `name`.exe into the folder as `as`; false when it cannot.
inline bool InstallWindowsStandin(const QString& name, const QString& folder, const QString& as)
{
    QDir().mkpath(folder);
    return QFile::copy(WindowsStandinFolder() + u'/' + name + QStringLiteral(".exe"),
                       folder + u'/' + as);
}
} // namespace TestSupport
