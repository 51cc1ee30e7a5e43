#pragma once
// What every road test starts from: its own X server, an AppFolder assembled from the build,
// a folder for the drivers' sockets and a PATH on which "xdg-open" only records.
#include "common/TestSupport.h"
#include "road/RoadHarness.h"

#include <QFile>
#include <gtest/gtest.h>

class RoadTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_server = new Road::XServer; }
    static void TearDownTestSuite()
    {
        delete s_server;
        s_server = nullptr;
    }

    void SetUp() override
    {
        if (!s_server || !s_server->IsRunning())
            GTEST_SKIP() << "Xvfb is not available (scripts/install-deps adds it)";
        m_app = std::make_unique<Road::AppFolder>(TestSupport::NewFolder("AppFolder"));
        m_drivers = TestSupport::NewFolder("drivers");
        m_fakeBin = TestSupport::NewFolder("fakebin");
        m_opened = m_fakeBin + "/opened.txt";
        const QString opener = TestSupport::WriteFile(m_fakeBin + "/xdg-open",
                                                      "#!/bin/sh\nprintf '%s\\n' \"$*\" >> '" +
                                                          m_opened.toUtf8() + "'\n");
        QFile::setPermissions(opener, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_env = Road::RoadEnvironment(*s_server, m_drivers, m_fakeBin);
    }

    // What the programs asked the desktop to open, one line each.
    QStringList Opened() const
    {
        return QString::fromUtf8(TestSupport::ReadFile(m_opened)).split('\n', Qt::SkipEmptyParts);
    }

    inline static Road::XServer* s_server = nullptr;
    std::unique_ptr<Road::AppFolder> m_app;
    QString m_drivers;
    QString m_fakeBin;
    QString m_opened;
    QProcessEnvironment m_env;
};
