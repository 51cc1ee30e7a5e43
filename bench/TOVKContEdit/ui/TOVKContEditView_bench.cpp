// Painting the content view over a full table: one window after the first paint, and a
// scroll from top to bottom page by page.
#include "TOVKContEdit/checks_fixtures.h"
#include "TOVKContEdit/model/TOVKContEditDoc.h"
#include "TOVKContEdit/res/Strings.h"
#include "TOVKContEdit/ui/TOVKContEditView.h"

#include <QApplication>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QWindow>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>

namespace
{
constexpr int PictureFiles = 40;

struct Table
{
    QTemporaryDir folder;
    CTOVKContEditDoc doc;
    std::unique_ptr<CTOVKContEditView> view;

    Table()
    {
        QStringList pictures;
        for (int i = 0; i < PictureFiles; ++i)
        {
            const QString path = folder.filePath(QStringLiteral("p%1.bmp").arg(i));
            QFile file(path);
            file.open(QIODevice::WriteOnly);
            file.write(ChecksFixtures::MakeBmp(256, 192, 8, ChecksFixtures::GreyPalette(256),
                                               [i](int x, int y)
                                               { return std::uint32_t((x + y + i * 7) % 200); }));
            pictures.append(path);
        }
        for (int row = 0; row < MaxContentRows; ++row)
        {
            doc.AddRow(true);
            ContentRow& content = doc.GetRow(row);
            content.comment = QStringLiteral("work %1").arg(row + 1);
            content.image1[0] = pictures[row % PictureFiles];
            content.image2[0] = pictures[(row + 1) % PictureFiles];
            content.voice[0] = folder.filePath(QStringLiteral("v%1.wav").arg(row));
            content.description[0] =
                QStringLiteral("First line of work %1\r\nSecond line").arg(row);
        }
        view = std::make_unique<CTOVKContEditView>(doc);
        view->resize(1024, 768);
        view->OnInitialUpdate();
        view->show();
        view->OnActivateView(true);
        for (int i = 0; i < 20 && !view->windowHandle()->isExposed(); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        view->viewport()->repaint();
    }
};

// Made on first use, gone before the application object.
std::unique_ptr<Table> g_table;

Table& SharedTable()
{
    if (!g_table)
        g_table = std::make_unique<Table>();
    return *g_table;
}

void BM_PaintWindow(benchmark::State& state)
{
    Table& table = SharedTable();
    table.view->verticalScrollBar()->setValue(table.view->verticalScrollBar()->maximum() / 2);
    table.view->viewport()->repaint();
    for (auto _ : state)
        table.view->viewport()->repaint();
    state.counters["rows"] = table.view->GetLineCount();
    state.counters["decodes"] = table.view->Thumbnails().Decodes();
}
BENCHMARK(BM_PaintWindow)->Unit(benchmark::kMillisecond);

void BM_ScrollTopToBottom(benchmark::State& state)
{
    Table& table = SharedTable();
    QScrollBar* bar = table.view->verticalScrollBar();
    int pages = 0;
    for (auto _ : state)
    {
        pages = 0;
        bar->setValue(0);
        table.view->viewport()->repaint();
        while (bar->value() < bar->maximum())
        {
            bar->setValue(bar->value() + bar->pageStep());
            table.view->viewport()->repaint();
            ++pages;
        }
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_ScrollTopToBottom)->Unit(benchmark::kMillisecond)->Iterations(3);
} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QUORVANE_TEST_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    Strings::Install(ContEditStringsEN());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_table.reset();
    return 0;
}
