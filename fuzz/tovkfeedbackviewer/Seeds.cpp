// Writes record files into the fuzz corpus folder, so that fuzzing starts from files a
// handheld writes: a questionnaire with answers in two languages and an access log.
#include "DatFixture.h"

#include <QDir>
#include <QFile>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 1;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);

    using namespace DatFixture;
    const QByteArray mac = Mac({0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e});
    const std::uint32_t time = PackTime(2024, 5, 17, 10, 30, 0);
    const std::pair<const char*, QByteArray> seeds[] = {
        {"seed-questionnaire",
         DatFile(SampleQuestionnaireArea(),
                 {Answer(time, 0, mac, {0x01, 0x03}), Answer(time + 60, 1, mac, {0x04, 0x02})})},
        {"seed-log", DatFile(SampleLogArea(), {Access(time, 0, 1, mac), Access(time + 5, 1, 2, mac),
                                               Access(time + 9, 0, 3, mac)})},
    };
    for (const auto& [name, bytes] : seeds)
    {
        QFile file(folder + u'/' + QLatin1String(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return 1;
    }
    return 0;
}
