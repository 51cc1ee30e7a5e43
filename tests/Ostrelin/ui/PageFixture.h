#pragma once
// The hub's pages under test: a project document behind a host that records the window
// updates, the recording message backend, and builders for works, registrations and
// title bitmaps.
#include "Ostrelin/model/OstrelinDoc.h"
#include "Ostrelin/model/ProjectHost.h"
#include "Ostrelin/res/Strings.h"
#include "Ostrelin/ui/BindList.h"
#include "common/TestSupport.h"
#include "platform/Messages.h"
#include "platform/RecordingMessages.h"

#include <QByteArray>
#include <QStringList>
#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace PageFixture
{
class Host : public CProjectHost
{
public:
    COstrelinDoc* GetActiveDocument() override { return doc; }
    QString GetProjectPath() const override { return projectPath; }
    void UpdateWindowTitle() override {}
    void UpdateStepStates() override { ++stepUpdates; }
    void OnFileSave() override {}

    COstrelinDoc* doc = nullptr;
    QString projectPath;
    int stepUpdates = 0;
};

// The texts of one column, top to bottom.
inline QStringList Column(const CReportList* list, int column)
{
    QStringList texts;
    for (int row = 0; row < list->GetItemCount(); ++row)
        texts << list->GetItemText(row, column);
    return texts;
}

inline int RowOf(const CReportList* list, const QString& text, int column = 0)
{
    for (int row = 0; row < list->GetItemCount(); ++row)
    {
        if (list->GetItemText(row, column) == text)
            return row;
    }
    return -1;
}

inline void SelectOnly(CReportList* list, const QList<int>& rows)
{
    list->clearSelection();
    for (int row : rows)
        list->SetItemState(row, true, false);
}

// An uncompressed BMP, bottom-up. Pixels are palette indexes for 4 and 8 bits, RGB for 24.
inline QByteArray MakeBmp(int width, int height, int bits, const std::vector<quint32>& palette,
                          const std::function<quint32(int x, int y)>& pixel)
{
    const int stride = ((width * bits + 31) / 32) * 4;
    const int paletteBytes = bits <= 8 ? int(palette.size()) * 4 : 0;
    const int offset = 14 + 40 + paletteBytes;
    QByteArray bytes(offset + stride * height, '\0');
    char* p = bytes.data();
    p[0] = 'B';
    p[1] = 'M';
    qToLittleEndian<quint32>(quint32(bytes.size()), p + 2);
    qToLittleEndian<quint32>(quint32(offset), p + 10);
    qToLittleEndian<quint32>(40, p + 14);
    qToLittleEndian<qint32>(width, p + 18);
    qToLittleEndian<qint32>(height, p + 22);
    qToLittleEndian<quint16>(1, p + 26);
    qToLittleEndian<quint16>(quint16(bits), p + 28);
    qToLittleEndian<quint32>(quint32(stride * height), p + 34);
    qToLittleEndian<quint32>(bits <= 8 ? quint32(palette.size()) : 0, p + 46);
    for (std::size_t i = 0; bits <= 8 && i < palette.size(); ++i)
        qToLittleEndian<quint32>(palette[i], p + 54 + 4 * int(i));
    for (int y = 0; y < height; ++y)
    {
        uchar* line = reinterpret_cast<uchar*>(p + offset + (height - 1 - y) * stride);
        for (int x = 0; x < width; ++x)
        {
            const quint32 v = pixel(x, y);
            if (bits == 8)
                line[x] = uchar(v);
            else if (bits == 4)
                line[x / 2] |= uchar((x % 2 == 0) ? (v & 15) << 4 : (v & 15));
            else
            {
                line[3 * x] = uchar(v);
                line[3 * x + 1] = uchar(v >> 8);
                line[3 * x + 2] = uchar(v >> 16);
            }
        }
    }
    return bytes;
}

// A 256 x 64 8-bit title using `colors` distinct palette entries (at most 256).
inline QByteArray MakeTitle(int colors, int width = 256, int height = 64)
{
    std::vector<quint32> palette(256, 0);
    for (int i = 0; i < 256; ++i)
        palette[std::size_t(i)] = quint32(i << 16 | (255 - i) << 8 | (i ^ 0x5A));
    return MakeBmp(width, height, 8, palette,
                   [colors](int x, int y) { return quint32((y * 256 + x) % colors); });
}

inline QByteArray MakeTrueColor(int width, int height)
{
    return MakeBmp(width, height, 24, {}, [](int x, int y) { return quint32(x * 0x100 + y); });
}

class PageTest : public ::testing::Test
{
protected:
    // The texts are there before a fixture's pages are made.
    PageTest()
    {
        Strings::Install(OstrelinStringsJA());
        Messages::SetApplicationTitle(QStringLiteral("QuorvaneKP ガイド エディタ"));
    }
    void SetUp() override
    {
        folder = TestSupport::NewFolder(QStringLiteral("project"));
        host.doc = &doc;
        host.projectPath = folder + QStringLiteral("/Guide.olx");
        SetProjectHost(&host);
    }
    void TearDown() override { SetProjectHost(nullptr); }

    CBindData& Data() { return doc.GetBindData(); }

    // Works numbered as given, each with content in the languages of the mask.
    void AddWorks(const QList<int>& numbers, quint16 languages = 0x0001)
    {
        int fileNo = int(Data().m_mapWorks.size()) + 1;
        for (int number : numbers)
            Data().AddWork(fileNo++, number, QStringLiteral("work %1").arg(number), languages);
    }
    void Register(const QList<QPair<int, int>>& guideToWork)
    {
        for (const auto& [guide, work] : guideToWork)
            Data().AddGuide(guide, work);
    }
    // The guide map as "guide:work" texts.
    QStringList Guides()
    {
        QStringList texts;
        for (const auto& [number, entry] : Data().m_mapGuides)
            texts << QStringLiteral("%1:%2").arg(number).arg(entry->m_nWorkNo);
        return texts;
    }

    COstrelinDoc doc;
    Host host;
    QString folder;
    RecordingMessages messages;
};
} // namespace PageFixture
