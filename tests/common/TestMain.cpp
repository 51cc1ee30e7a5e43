// Shared main of every test program: a private HOME, config, runtime and temporary
// folder per process, so tests never touch the user's files and can run in parallel,
// and an offscreen QApplication so widget tests need no display.
#include "platform/SingleInstance.h"

#include <QApplication>
#include <QDir>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gmock/gmock.h>
#include <string>
#include <unistd.h>

namespace
{
std::string MakePrivateRoot()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string base = (tmp && *tmp) ? tmp : "/tmp";
    std::string pattern = base + "/quorvane-test-XXXXXX";
    std::string buffer = pattern;
    if (!mkdtemp(buffer.data()))
    {
        // A full disk ends every test program here: say so rather than abort without a word.
        std::fprintf(stderr, "cannot make the test's private folder %s: %s\n", pattern.c_str(),
                     std::strerror(errno));
        std::abort();
    }
    return buffer;
}

void SetUpEnvironment(const std::string& root)
{
    for (const char* sub : {"home", "config", "runtime", "tmp"})
        QDir().mkpath(QString::fromStdString(root + "/" + sub));
    QFile::setPermissions(QString::fromStdString(root + "/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    setenv("HOME", (root + "/home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (root + "/runtime").c_str(), 1);
    setenv("TMPDIR", (root + "/tmp").c_str(), 1);
    if (!std::getenv("QUORVANE_TEST_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
}
} // namespace

int main(int argc, char** argv)
{
    const std::string root = MakePrivateRoot();
    SetUpEnvironment(root);
    // The programs' guards inside this test program are its own, as on a desktop of its own.
    SingleInstance::SetScope(QByteArray::fromStdString(root));
    int result = 0;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleMock(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    if (!std::getenv("QUORVANE_KEEP_TEST_ROOT"))
        QDir(QString::fromStdString(root)).removeRecursively();
    return result;
}
