// A leak made while the event loop runs, where every frame above it is the toolkit's. The
// sanitizer run must report it: a suppression wide enough to hide it (a whole library)
// fails this test.
#include <QCoreApplication>
#include <QTimer>

namespace
{
char* volatile g_lost = nullptr;

// Not inlined, so that the report names it.
[[gnu::noinline]] void LeakInsideTheEventLoop()
{
    g_lost = new char[4096];
    g_lost = nullptr;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTimer::singleShot(0, &app,
                       [&app]
                       {
                           LeakInsideTheEventLoop();
                           app.quit();
                       });
    return app.exec();
}
