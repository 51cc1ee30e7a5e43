// Shared main of every test program: a private HOME, config, runtime and temporary
// folder per process, so tests never touch the user's files and can run in parallel,
// and an offscreen QApplication so widget tests need no display.
#include "common/TestSupport.h"

#include <QApplication>
#include <gmock/gmock.h>

int main(int argc, char** argv)
{
    const TestSupport::PrivateEnvironment environment;
    QApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
