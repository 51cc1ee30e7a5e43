// The record file: CRC, the validity rule, lookups into the definition area, loading.
#include "DatFixture.h"
#include "common/TestSupport.h"
#include "tovkfeedbackviewer/Console.h"
#include "tovkfeedbackviewer/DatFile.h"
#include "tovkfeedbackviewer/ErrorType.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace DatFixture;

namespace
{
const std::uint8_t* Bytes(const QByteArray& bytes)
{
    return reinterpret_cast<const std::uint8_t*>(bytes.constData());
}

bool Valid(const QByteArray& file)
{
    return IsValidDatFile(Bytes(file), static_cast<std::size_t>(file.size()));
}

// Seals the outer body CRC and header again, leaving the record section as it is.
void ResealOuter(QByteArray& file)
{
    PutU16(file, 12, Crc(file.constData() + 0x20, file.size() - 0x20));
    SealHeader(file, 0);
}

QByteArray SampleFile()
{
    return DatFile(SampleQuestionnaireArea(),
                   {Answer(PackTime(2024, 5, 1, 10, 0, 0), 0, Mac({1, 2, 3, 4, 5, 6}), {1, 2})});
}
} // namespace

TEST(Crc16, MatchesTheArcCheckValue)
{
    const char text[] = "123456789";
    EXPECT_EQ(Crc16(reinterpret_cast<const std::uint8_t*>(text), 9), 0xBB3D);
    EXPECT_TRUE(CheckCrc16(reinterpret_cast<const std::uint8_t*>(text), 9, 0xBB3D));
    EXPECT_FALSE(CheckCrc16(reinterpret_cast<const std::uint8_t*>(text), 9, 0xBB3C));
    EXPECT_EQ(g_crc16Table[1], 0xC0C1);
}

TEST(Crc16, AgreesWithABitwiseCrcAtEveryLengthAndAlignment)
{
    QByteArray bytes;
    for (int i = 0; i < 64; ++i)
        bytes.append(static_cast<char>((i * 37 + 11) & 0xFF));
    for (int offset = 0; offset < 8; ++offset)
    {
        for (int length = 0; length + offset <= bytes.size(); ++length)
            ASSERT_EQ(Crc16(Bytes(bytes) + offset, static_cast<std::size_t>(length)),
                      Crc(bytes.constData() + offset, length))
                << offset << " " << length;
    }
}

TEST(DatFileRule, TableOfCases)
{
    struct Case
    {
        const char* name;
        std::function<QByteArray()> make;
        bool valid;
    };
    const std::vector<Case> cases = {
        {"sample with one record", [] { return SampleFile(); }, true},
        {"exactly 0xE040 bytes, no record", [] { return DatFile(SampleQuestionnaireArea(), {}); },
         true},
        {"record section of 0x3F bytes",
         []
         {
             return DatFile(SampleLogArea(),
                            {Access(PackTime(2024, 1, 1, 0, 0, 0), 0, 1, Mac({1}))},
                            QByteArray(31, 'x'));
         },
         true},
        {"one byte short of the minimum",
         [] { return DatFile(SampleQuestionnaireArea(), {}).left(0xE03F); }, false},
        {"empty", [] { return QByteArray(); }, false},
        {"a non-zero u32 at +20 of the outer header, CRCs resealed",
         []
         {
             QByteArray file = SampleFile();
             PutU32(file, 20, 1);
             SealHeader(file, 0);
             return file;
         },
         false},
        {"outer length off by one",
         []
         {
             QByteArray file = SampleFile();
             PutU32(file, 8, static_cast<std::uint32_t>(file.size() - 0x20 + 1));
             SealHeader(file, 0);
             return file;
         },
         false},
        {"outer kind 11",
         []
         {
             QByteArray file = SampleFile();
             PutU32(file, 0, KindWord(11));
             SealHeader(file, 0);
             return file;
         },
         false},
        {"outer header CRC wrong",
         []
         {
             QByteArray file = SampleFile();
             file[4] = 1;
             return file;
         },
         false},
        {"record kind 6",
         []
         {
             QByteArray file = SampleFile();
             PutU32(file, 0xE020, KindWord(6));
             Reseal(file);
             return file;
         },
         false},
        {"record length off",
         []
         {
             QByteArray file = SampleFile();
             PutU32(file, 0xE028, 31);
             Reseal(file);
             return file;
         },
         false},
        // Rules 9 and 10: the record section broken, the outer body CRC (which covers it)
        // resealed, so that only the record section's own check can refuse the file.
        {"record header CRC wrong, outer CRC resealed",
         []
         {
             QByteArray file = SampleFile();
             file[0xE020 + 4] = 1;
             ResealOuter(file);
             return file;
         },
         false},
        {"record body CRC wrong, outer CRC resealed",
         []
         {
             QByteArray file = SampleFile();
             file[0xE040 + 12] = static_cast<char>(file[0xE040 + 12] ^ 0x10);
             ResealOuter(file);
             return file;
         },
         false},
        {"the same record byte changed with every CRC resealed",
         []
         {
             QByteArray file = SampleFile();
             file[0xE040 + 12] = static_cast<char>(file[0xE040 + 12] ^ 0x10);
             Reseal(file);
             return file;
         },
         true},
        {"first entry of kind 0 with good later entries",
         []
         {
             QByteArray area = SampleQuestionnaireArea();
             PutU32(area, 0, KindWord(0, 0));
             SealHeader(area, 0);
             return DatFile(area, {});
         },
         false},
        {"fourth questionnaire entry of kind 6",
         []
         {
             QByteArray area = SampleQuestionnaireArea();
             PutU32(area, 3 * 6144, KindWord(6, 3));
             SealHeader(area, 3 * 6144);
             return DatFile(area, {});
         },
         false},
        {"fourth questionnaire entry all zero",
         [] { return DatFile(SampleQuestionnaireArea(), {}); }, true},
        {"fourth entry of kind 0 with a bad header CRC",
         []
         {
             QByteArray area = SampleQuestionnaireArea();
             area[3 * 6144 + 4] = 7;
             return DatFile(area, {});
         },
         false},
        {"kind 9 first entry",
         []
         {
             QByteArray area(DefinitionSize, '\0');
             PutU32(area, 0, KindWord(9));
             SealHeader(area, 0);
             return DatFile(area, {});
         },
         false},
        {"log area with forty good entries",
         []
         {
             std::vector<WorkEntry> works;
             for (int i = 0; i < 40; ++i)
                 works.push_back({static_cast<unsigned>(i % 9), static_cast<std::uint32_t>(i + 1),
                                  static_cast<std::uint16_t>(i + 1), QStringLiteral("w")});
             return DatFile(LogArea(works), {});
         },
         true},
        {"language bits 12 in a work entry pass",
         [] {
             return DatFile(LogArea({{12, 5, 5, QStringLiteral("x")}}), {});
         },
         true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Valid(c.make()), c.valid) << c.name;
}

TEST(DatFileRule, EveryFlippedBitAfterTheHeaderIsCaught)
{
    const QByteArray file = SampleFile();
    // A sample of offsets across the definition area, the record header and the records,
    // including the unused tail of the area.
    for (qsizetype at :
         {qsizetype(0x20), qsizetype(0x20 + 67), qsizetype(0x20 + 6144 + 5), qsizetype(0xD820 + 3),
          qsizetype(0xE01F), qsizetype(0xE020 + 4), qsizetype(0xE040), file.size() - 1})
    {
        for (int bit : {0, 7})
        {
            QByteArray broken = file;
            broken[at] = static_cast<char>(broken[at] ^ (1 << bit));
            EXPECT_FALSE(Valid(broken)) << "offset " << at << " bit " << bit;
        }
    }
}

TEST(DefinitionLookups, FindEntriesByKindLanguageAndGuide)
{
    const QByteArray questionnaire =
        QuestionnaireArea({{1, {{false, QStringLiteral("Q"), {}}}}, {0, {}}, {1, {}}});
    const std::uint8_t* area = Bytes(questionnaire);
    EXPECT_EQ(FindQuestionnaireEntry(area, 1), area);
    EXPECT_EQ(FindQuestionnaireEntry(area, 0), area + 6144);
    EXPECT_EQ(FindQuestionnaireEntry(area, 2), nullptr);
    EXPECT_EQ(FindWorkEntry(0, area, 1), nullptr) << "a questionnaire area has no work entries";

    const QByteArray log = LogArea({{0, 7, 3, QStringLiteral("a")},
                                    {1, 8, 3, QStringLiteral("b")},
                                    {1, 9, 3, QStringLiteral("c")}});
    const std::uint8_t* logArea = Bytes(log);
    EXPECT_EQ(FindWorkEntry(3, logArea, 1), logArea + 1024) << "the first match wins";
    EXPECT_EQ(FindWorkEntry(3, logArea, 2), nullptr);
    EXPECT_EQ(FindWorkEntry(4, logArea, 0), nullptr);
    EXPECT_EQ(FindQuestionnaireEntry(logArea, 0), nullptr);
}

TEST(DefinitionLookups, TheGuideNumberIsComparedInSixteenBits)
{
    // Guide 0x0403 stored in the u16 at +16, with the two bytes after it set: neither its
    // low ten bits (a record's guide field) nor the u32 at +16 may stand for it.
    QByteArray log = LogArea({{1, 8, 0x0403, QStringLiteral("b")}});
    log[18] = 0x01;
    log[19] = 0x02;
    SealHeader(log, 0);
    const std::uint8_t* area = Bytes(log);
    EXPECT_EQ(FindWorkEntry(0x0403, area, 1), area);
    EXPECT_EQ(FindWorkEntry(0x0003, area, 1), nullptr);
    EXPECT_EQ(FindWorkEntry(0x10403, area, 1), nullptr);
    EXPECT_EQ(FindWorkEntry(0x02010403, area, 1), nullptr);
}

TEST(DefinitionLookups, CountsAreClampedToTheirSlots)
{
    QByteArray area =
        QuestionnaireArea({{0, {{false, QStringLiteral("Q"), {QStringLiteral("a")}, 200}}, 99}});
    const std::uint8_t* entry = Bytes(area);
    EXPECT_EQ(QuestionCount(entry), 16);
    EXPECT_EQ(AnswerCount(QuestionBlock(entry, 0)), 8);
}

TEST(ReadFixedText, StopsAtNulOrMaximum)
{
    QByteArray field(40, '\0');
    PutText(field, 0, QStringLiteral("abcdef"));
    EXPECT_EQ(ReadFixedText(Bytes(field), 16), QStringLiteral("abcdef"));
    EXPECT_EQ(ReadFixedText(Bytes(field), 3), QStringLiteral("abc"));
    PutText(field, 0, QStringLiteral("0123456789ABCDEFGHIJ"));
    EXPECT_EQ(ReadFixedText(Bytes(field), 16), QStringLiteral("0123456789ABCDEF"));
}

TEST(DatFileImage, LoadsCachesAndFrees)
{
    const QString folder = TestSupport::NewFolder();
    const QByteArray bytes = SampleFile();
    TestSupport::WriteFile(folder + "/A.DAT", bytes);
    TestSupport::WriteFile(folder + "/E.DAT", {});
    const Path::FolderReader reader(folder);
    const std::vector<Path::Entry> entries = reader.Find("*.DAT", Path::FindFilesOnly);
    ASSERT_EQ(entries.size(), 2u);
    CDatFileCache cache;
    CDatFileImage& image = cache.Get(reader, entries[0]);
    EXPECT_EQ(image.Path(), folder + "/A.DAT");
    ASSERT_EQ(image.Size(), static_cast<std::size_t>(bytes.size()));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(image.Data()), bytes.size()), bytes);
    QFile::remove(folder + "/A.DAT");
    EXPECT_EQ(&cache.Get(reader, entries[0]), &image) << "a loaded image is not read again";
    cache.FreeDatFiles();
    EXPECT_FALSE(image.HasBuffer());
    EXPECT_EQ(cache.Count(), 1u);

    EXPECT_EQ(cache.Get(reader, entries[1]).Size(), 0u);
}

TEST(DatFileImage, AFileIsReadOnlyWhenItsSizeIsTheOneItsHeaderAllows)
{
    const QString folder = TestSupport::NewFolder();
    const QByteArray sample = SampleFile();
    QByteArray claimsMore = sample;
    PutU32(claimsMore, 8, static_cast<std::uint32_t>(sample.size()));
    SealHeader(claimsMore, 0);
    struct Case
    {
        const char* name;
        QByteArray bytes;
        qint64 sparseSize; // the file is stretched to this size with a hole; 0 for none
        bool loaded;
    };
    const Case cases[] = {
        {"valid", sample, 0, true},
        {"the header promises a byte more", claimsMore, 0, false},
        {"a byte more than the header states", sample + "x", 0, false},
        {"cut after the header", sample.left(0x100), 0, false},
        {"only the header", sample.left(32), 0, false},
        {"700 MB behind a small file's header", sample, qint64(700) << 20, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const QString path = TestSupport::WriteFile(folder + "/X.DAT", c.bytes);
        if (c.sparseSize > 0)
        {
            ASSERT_TRUE(QFile::resize(path, c.sparseSize));
        }
        const Path::FolderReader reader(folder);
        rusage before{};
        getrusage(RUSAGE_SELF, &before);
        CDatFileImage image;
        image.Load(reader, {"X.DAT", "X.DAT"});
        rusage after{};
        getrusage(RUSAGE_SELF, &after);
        EXPECT_EQ(image.HasBuffer(), c.loaded);
        EXPECT_EQ(image.Size(), c.loaded ? static_cast<std::size_t>(sample.size()) : 0u);
        EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 100 * 1024) << "kilobytes";
    }
}

TEST(DatFileImage, AMissingFileThrowsErrReadAfterItsLine)
{
    Console::Capture capture;
    CDatFileImage image;
    const QString folder = TestSupport::NewFolder();
    try
    {
        image.Load(Path::FolderReader(folder), {"missing.DAT", "missing.DAT"});
        FAIL() << "no error";
    }
    catch (EErrorType error)
    {
        EXPECT_EQ(error, ErrRead);
    }
    EXPECT_EQ(capture.out, "can't open " + folder + "/missing.DAT\n");
}
