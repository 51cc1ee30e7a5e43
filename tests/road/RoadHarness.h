#pragma once
// The road's harness: a private X server, an installed-looking program folder, the programs
// started in it with the road driver loaded, and a person's mouse and keys through xdotool.
// Every wait polls for a condition and gives up after a time-out.
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace Road
{
// Polls the condition (pumping events) until it holds or the time-out passes.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs);

// Where screenshots and recorded figures go: $ROAD_OUTPUT, else the test's build folder.
QString OutputFolder();
// Appends "name value" to the figures file of the output folder.
void Figure(const QString& name, double value, const QString& unit);

// An Xvfb server on a display number it picks itself; stopped on destruction and, through
// the parent-death signal, when the test process dies.
class XServer
{
public:
    XServer();
    ~XServer();
    bool IsRunning() const { return !m_display.isEmpty(); }
    QString Display() const { return m_display; }

private:
    QProcess m_process;
    QString m_display;
};

// AppFolder as an installation holds it: the built programs, with the stand-in tools in bin.
class AppFolder
{
public:
    explicit AppFolder(const QString& root);
    QString Root() const { return m_root; }
    QString Bin() const { return m_root + QStringLiteral("/bin"); }
    bool IsComplete(const QStringList& programs) const;

private:
    QString m_root;
};

// A connection to the driver inside one running GUI program.
class Driver
{
public:
    explicit Driver(QString socketPath) : m_socket(std::move(socketPath)) {}
    QJsonObject Request(const QJsonObject& request, int timeoutMs = 15000) const;
    QString SocketPath() const { return m_socket; }

private:
    QString m_socket;
};

// The environment every program of the road gets: the display, the driver, the private
// folders of the test process, and a PATH whose xdg-open records instead of opening.
QProcessEnvironment RoadEnvironment(const XServer& server, const QString& driverFolder,
                                    const QString& fakeBin);

// The driver of a program by name (the newest live one), waited for.
std::unique_ptr<Driver> AttachDriver(const QString& driverFolder, const QString& appName,
                                     int timeoutMs);

// A GUI program of the road as a person sees it.
class Session
{
public:
    explicit Session(const XServer& server);

    void Use(std::unique_ptr<Driver> driver) { m_driver = std::move(driver); }
    Driver* Current() const { return m_driver.get(); }

    QJsonObject Request(QJsonObject request) const;
    // The window by object name, title part or class (empty: the active modal or active one).
    QJsonObject Window(const QString& window) const;
    bool WaitWindow(const QString& window, int timeoutMs = 20000) const;
    bool WaitGone(const QString& window, int timeoutMs = 20000) const;
    QJsonArray Windows() const;
    QJsonObject Find(const QString& window, const QJsonObject& control) const;
    bool WaitControl(const QString& window, const QJsonObject& control,
                     const std::function<bool(const QJsonObject&)>& condition,
                     int timeoutMs = 20000) const;

    // Mouse and keys through the X server.
    // A held modifier key ("shift", "ctrl") is pressed around the click.
    bool ClickAt(int x, int y, int button = 1, int count = 1, const QString& modifier = {}) const;
    bool Click(const QString& window, const QJsonObject& control, int count = 1) const;
    bool ClickAction(const QString& name) const;
    // Opens a pop-up menu by its object name, then clicks one of its commands.
    bool ChooseMenu(const QString& menu, const QString& action) const;
    bool ClickTab(const QString& window, const QString& name, int tab) const;
    bool ClickCell(const QString& window, const QString& name, int row, int column, int count = 1,
                   const QString& modifier = {}) const;
    bool Keys(const QString& keys) const;
    // Clicks the field, selects its text and commits the new text as an input method would.
    bool Enter(const QString& window, const QJsonObject& control, const QString& text) const;
    // The message box's text once it shows (with a shot of it when named), then its button
    // pressed; empty when none came.
    QString Answer(const QString& button, int timeoutMs = 20000, const QString& shot = {}) const;

    // A picture of the whole screen, saved as <output>/<name>.png.
    bool Shot(const QString& name) const;

private:
    QString m_display;
    std::unique_ptr<Driver> m_driver;
};

// Runs a program with the road environment and waits for its end; returns its exit code.
int RunToEnd(const QString& program, const QStringList& arguments,
             const QProcessEnvironment& environment, int timeoutMs, QString* output = nullptr,
             const QString& workingFolder = {});
} // namespace Road
