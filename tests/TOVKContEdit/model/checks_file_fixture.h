#pragma once
// The fixture of the file checks: the English texts, a recording message box and a fresh
// folder for the files a case writes.
#include "TOVKContEdit/res/Strings.h"
#include "common/TestSupport.h"
#include "platform/RecordingMessages.h"

#include <gtest/gtest.h>

namespace ChecksFixtures
{
class FileCheck : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Strings::Install(ContEditStringsEN());
        m_folder = TestSupport::NewFolder();
    }
    // Writes the bytes to the named file in the case's folder; returns its path.
    QString Write(const QString& name, const QByteArray& bytes)
    {
        return TestSupport::WriteFile(m_folder + "/" + name, bytes);
    }

    RecordingMessages m_messages;
    QString m_folder;
};
} // namespace ChecksFixtures
