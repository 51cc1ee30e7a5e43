#include "road/RoadHarness.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace Road
{
namespace
{
void DieWithParent()
{
    prctl(PR_SET_PDEATHSIG, SIGKILL);
}

bool Alive(qint64 pid)
{
    return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) == 0 &&
           QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid));
}

bool CopyTree(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    bool ok = true;
    for (const QFileInfo& entry :
         QDir(from).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
    {
        const QString target = to + u'/' + entry.fileName();
        if (entry.isDir())
            ok = CopyTree(entry.filePath(), target) && ok;
        else if (!QFileInfo::exists(target))
            ok = QFile::copy(entry.filePath(), target) && ok;
    }
    return ok;
}
} // namespace

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (true)
    {
        if (condition())
            return true;
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(40);
    }
}

QString OutputFolder()
{
    QString folder = qEnvironmentVariable("ROAD_OUTPUT");
    if (folder.isEmpty())
        folder = QStringLiteral(ROAD_DEFAULT_OUTPUT);
    QDir().mkpath(folder);
    return folder;
}

void Figure(const QString& name, double value, const QString& unit)
{
    QFile file(OutputFolder() + QStringLiteral("/figures.txt"));
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(
            QStringLiteral("%1\t%2 %3\n").arg(name).arg(value, 0, 'f', 1).arg(unit).toUtf8());
}

XServer::XServer()
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (program.isEmpty())
        return;
    m_process.setChildProcessModifier(DieWithParent);
    m_process.setStandardErrorFile(QProcess::nullDevice());
    // -displayfd: the server picks a free display number and writes it to standard output.
    m_process.start(program, {QStringLiteral("-displayfd"), QStringLiteral("1"),
                              QStringLiteral("-screen"), QStringLiteral("0"),
                              QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                              QStringLiteral("tcp"), QStringLiteral("-noreset")});
    if (!m_process.waitForStarted(10000))
        return;
    QByteArray out;
    WaitUntil(
        [&]
        {
            m_process.waitForReadyRead(100);
            out += m_process.readAllStandardOutput();
            return out.contains('\n') || m_process.state() != QProcess::Running;
        },
        20000);
    bool ok = false;
    const int number = out.trimmed().toInt(&ok);
    if (ok && m_process.state() == QProcess::Running)
        m_display = QStringLiteral(":%1").arg(number);
}

XServer::~XServer()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

AppFolder::AppFolder(const QString& root) : m_root(root)
{
    CopyTree(QStringLiteral(QUORVANE_APP_DIR), m_root);
    QDir().mkpath(Bin());
    for (const QFileInfo& entry :
         QDir(QStringLiteral(QUORVANE_STANDIN_DIR)).entryInfoList(QDir::Files | QDir::Executable))
        QFile::copy(entry.filePath(), Bin() + u'/' + entry.fileName());
}

bool AppFolder::IsComplete(const QStringList& programs) const
{
    for (const QString& program : programs)
        if (!QFileInfo(m_root + u'/' + program).isExecutable())
            return false;
    return true;
}

QJsonObject Driver::Request(const QJsonObject& request, int timeoutMs) const
{
    QLocalSocket socket;
    socket.connectToServer(m_socket);
    if (!socket.waitForConnected(3000))
        return {{"error", "no connection"}};
    socket.write(QJsonDocument(request).toJson(QJsonDocument::Compact) + '\n');
    socket.flush();
    QElapsedTimer timer;
    timer.start();
    while (!socket.canReadLine() && timer.elapsed() < timeoutMs &&
           socket.state() == QLocalSocket::ConnectedState)
        socket.waitForReadyRead(100);
    if (!socket.canReadLine())
        return {{"error", "no answer"}};
    return QJsonDocument::fromJson(socket.readLine()).object();
}

QProcessEnvironment RoadEnvironment(const XServer& server, const QString& driverFolder,
                                    const QString& fakeBin)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", server.Display());
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.remove("QT_QPA_PLATFORMTHEME");
    environment.remove("XDG_CURRENT_DESKTOP");
    environment.remove("WAYLAND_DISPLAY");
    environment.insert("NO_AT_BRIDGE", "1");
    environment.insert("LANG", "C.UTF-8");
    environment.insert("LD_PRELOAD", ROAD_DRIVER_LIBRARY);
    environment.insert("ROAD_DRIVER_DIR", driverFolder);
    environment.insert("PATH", fakeBin + u':' + environment.value("PATH"));
    return environment;
}

std::unique_ptr<Driver> AttachDriver(const QString& driverFolder, const QString& appName,
                                     int timeoutMs)
{
    std::unique_ptr<Driver> found;
    WaitUntil(
        [&]
        {
            QFileInfo newest;
            for (const QFileInfo& entry :
                 QDir(driverFolder).entryInfoList({appName + QStringLiteral("-*")}, QDir::System))
            {
                const qint64 pid = entry.fileName().mid(appName.size() + 1).toLongLong();
                if (Alive(pid) &&
                    (!newest.exists() || entry.lastModified() > newest.lastModified()))
                    newest = entry;
            }
            if (!newest.exists())
                return false;
            auto driver = std::make_unique<Driver>(newest.filePath());
            if (driver->Request({{"cmd", "hello"}}, 3000).contains("error"))
                return false;
            found = std::move(driver);
            return true;
        },
        timeoutMs);
    return found;
}

Session::Session(const XServer& server) : m_display(server.Display()) {}

QJsonObject Session::Request(QJsonObject request) const
{
    if (!m_driver)
        return {{"error", "no driver"}};
    return m_driver->Request(request);
}

QJsonArray Session::Windows() const
{
    return Request({{"cmd", "windows"}}).value("windows").toArray();
}

QJsonObject Session::Window(const QString& window) const
{
    return Request({{"cmd", "find"}, {"window", window}});
}

bool Session::WaitWindow(const QString& window, int timeoutMs) const
{
    return WaitUntil([&] { return !Window(window).contains("error"); }, timeoutMs);
}

bool Session::WaitGone(const QString& window, int timeoutMs) const
{
    return WaitUntil([&] { return Window(window).value("error").toString() == "no such window"; },
                     timeoutMs);
}

QJsonObject Session::Find(const QString& window, const QJsonObject& control) const
{
    QJsonObject request = control;
    request["cmd"] = "find";
    request["window"] = window;
    return Request(request);
}

bool Session::WaitControl(const QString& window, const QJsonObject& control,
                          const std::function<bool(const QJsonObject&)>& condition,
                          int timeoutMs) const
{
    return WaitUntil(
        [&]
        {
            const QJsonObject found = Find(window, control);
            return !found.contains("error") && condition(found);
        },
        timeoutMs);
}

bool Session::ClickAt(int x, int y, int button, int count, const QString& modifier) const
{
    QProcess xdotool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", m_display);
    xdotool.setProcessEnvironment(environment);
    QStringList arguments{"mousemove", QString::number(x), QString::number(y)};
    if (!modifier.isEmpty())
        arguments << "keydown" << modifier;
    arguments << "click"
              << "--repeat" << QString::number(count) << "--delay"
              << "80" << QString::number(button);
    if (!modifier.isEmpty())
        arguments << "keyup" << modifier;
    xdotool.start("xdotool", arguments);
    return xdotool.waitForFinished(10000) && xdotool.exitCode() == 0;
}

bool Session::Click(const QString& window, const QJsonObject& control, int count) const
{
    QJsonObject found;
    // A control may still be disabled or moving into place just after its window showed.
    if (!WaitControl(
            window, control, [&](const QJsonObject& c) { return (found = c)["enabled"].toBool(); },
            10000))
        return false;
    return ClickAt(found["cx"].toInt(), found["cy"].toInt(), 1, count);
}

bool Session::ClickAction(const QString& name) const
{
    QJsonObject found;
    if (!WaitUntil(
            [&]
            {
                found = Request({{"cmd", "action"}, {"name", name}});
                return found["enabled"].toBool() && found.contains("at");
            },
            10000))
        return false;
    const QJsonObject at = found["at"].toObject();
    return ClickAt(at["cx"].toInt(), at["cy"].toInt());
}

bool Session::ChooseMenu(const QString& menu, const QString& action) const
{
    const QJsonObject title = Request({{"cmd", "menu"}, {"name", menu}});
    if (title.contains("error") || !ClickAt(title["cx"].toInt(), title["cy"].toInt()))
        return false;
    return ClickAction(action);
}

bool Session::ClickTab(const QString& window, const QString& name, int tab) const
{
    // A tab scrolled out of the bar's sight is brought in with the bar's scroll button.
    for (int attempt = 0; attempt < 10; ++attempt)
    {
        const QJsonObject rect =
            Request({{"cmd", "tab"}, {"window", window}, {"name", name}, {"tab", tab}});
        const QJsonObject bar = Find(window, {{"name", name}});
        if (rect.contains("error") || bar.contains("error"))
            return false;
        const QJsonObject scroll = Find(window, {{"name", "ScrollRightButton"}});
        const int visibleRight = scroll.contains("error") ? bar["x"].toInt() + bar["w"].toInt()
                                                          : scroll["x"].toInt() - 16;
        if (rect["cx"].toInt() < visibleRight)
            return ClickAt(rect["cx"].toInt(), rect["cy"].toInt());
        if (scroll.contains("error") || !ClickAt(scroll["cx"].toInt(), scroll["cy"].toInt()))
            return false;
    }
    return false;
}

bool Session::ClickCell(const QString& window, const QString& name, int row, int column, int count,
                        const QString& modifier) const
{
    const QJsonObject rect = Request(
        {{"cmd", "cell"}, {"window", window}, {"name", name}, {"row", row}, {"column", column}});
    if (rect.contains("error"))
        return false;
    return ClickAt(rect["cx"].toInt(), rect["cy"].toInt(), 1, count, modifier);
}

bool Session::Keys(const QString& keys) const
{
    QProcess xdotool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", m_display);
    xdotool.setProcessEnvironment(environment);
    xdotool.start("xdotool", QStringList{"key", "--delay", "60"} + keys.split(u' '));
    return xdotool.waitForFinished(10000) && xdotool.exitCode() == 0;
}

bool Session::Enter(const QString& window, const QJsonObject& control, const QString& text) const
{
    const auto fail = [&](const char* step)
    {
        qWarning().noquote() << "road: entering" << text << "into" << window
                             << QJsonDocument(control).toJson(QJsonDocument::Compact) << "failed at"
                             << step
                             << QJsonDocument(Find(window, control)).toJson(QJsonDocument::Compact);
        return false;
    };
    if (!Click(window, control))
        return fail("click");
    if (!WaitControl(
            window, control, [](const QJsonObject& c) { return c["focus"].toBool(); }, 10000))
        return fail("focus");
    QJsonObject request = control;
    request["cmd"] = "commit";
    request["window"] = window;
    request["value"] = text;
    request["replace"] = true;
    if (Request(request).contains("error"))
        return fail("commit");
    if (!WaitControl(
            window, control, [&](const QJsonObject& c) { return c["text"].toString() == text; },
            10000))
        return fail("text");
    return true;
}

QString Session::Answer(const QString& button, int timeoutMs, const QString& shot) const
{
    QString text;
    if (!WaitUntil(
            [&]
            {
                const QJsonObject box = Window("QMessageBox");
                if (box.contains("error"))
                    return false;
                text = box["text"].toString();
                return true;
            },
            timeoutMs))
        return QString();
    if (!shot.isEmpty())
        Shot(shot);
    Click("QMessageBox", {{"class", "QAbstractButton"}, {"text", button}});
    WaitGone("QMessageBox", 10000);
    return text;
}

bool Session::Shot(const QString& name) const
{
    const QString path = OutputFolder() + u'/' + name + QStringLiteral(".png");
    // The picture shows what the server shows once the program has drawn its last change.
    QCoreApplication::processEvents();
    QThread::msleep(150);
    return Request({{"cmd", "screen"}, {"path", path}})["ok"].toBool();
}

int RunToEnd(const QString& program, const QStringList& arguments,
             const QProcessEnvironment& environment, int timeoutMs, QString* output,
             const QString& workingFolder)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setChildProcessModifier(DieWithParent);
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs))
    {
        process.kill();
        process.waitForFinished(5000);
        return -1;
    }
    if (output)
        *output = QString::fromUtf8(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}
} // namespace Road
