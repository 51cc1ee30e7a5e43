// A driver loaded into the GUI programs of the road (LD_PRELOAD) and never into a shipped
// program. It answers one JSON request a line on a local socket: where windows and controls
// are, what they show, pictures of them, and text committed as an input method would. Mouse
// clicks and keys come from the X server (xdotool); the driver only tells where to click.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>
#include <QWindow>
#include <ctime>
#include <unistd.h>

namespace
{
// Milliseconds since the process started, from the kernel's start time of the process.
double SinceProcessStart()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    // Fields after the command name (which may hold blanks) start after the last ')'.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 20)
        return -1;
    const double startTicks = fields.at(19).toDouble(); // field 22: starttime
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs = now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
    return nowMs - startTicks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

qint64 PeakMemoryKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

QString Plain(QString text)
{
    return text.remove(u'&');
}

QJsonObject Rect(const QWidget* widget, const QRect& local)
{
    const QPoint topLeft = widget->mapToGlobal(local.topLeft());
    return {{"x", topLeft.x()},
            {"y", topLeft.y()},
            {"w", local.width()},
            {"h", local.height()},
            {"cx", topLeft.x() + local.width() / 2},
            {"cy", topLeft.y() + local.height() / 2}};
}

QString TextOf(const QWidget* widget)
{
    if (auto* edit = qobject_cast<const QLineEdit*>(widget))
        return edit->text();
    if (auto* plain = qobject_cast<const QPlainTextEdit*>(widget))
        return plain->toPlainText();
    if (auto* rich = qobject_cast<const QTextEdit*>(widget))
        return rich->toPlainText();
    if (auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(widget))
        return Plain(button->text());
    if (auto* combo = qobject_cast<const QComboBox*>(widget))
        return combo->currentText();
    if (auto* tabs = qobject_cast<const QTabBar*>(widget))
        return tabs->tabText(tabs->currentIndex());
    if (auto* box = qobject_cast<const QMessageBox*>(widget))
        return box->text();
    return widget->windowTitle();
}

QJsonObject Describe(const QWidget* widget)
{
    QJsonObject out = Rect(widget, widget->rect());
    out["class"] = QString::fromLatin1(widget->metaObject()->className());
    out["name"] = widget->objectName();
    out["text"] = TextOf(widget);
    out["enabled"] = widget->isEnabled();
    out["visible"] = widget->isVisible();
    out["focus"] = widget->hasFocus();
    if (auto* button = qobject_cast<const QAbstractButton*>(widget))
    {
        out["checked"] = button->isChecked();
        // A check box takes clicks on its box and text only: aim at the box.
        if (qobject_cast<const QCheckBox*>(widget) || qobject_cast<const QRadioButton*>(widget))
            out["cx"] = widget->mapToGlobal(QPoint(8, 0)).x();
    }
    if (auto* tabs = qobject_cast<const QTabBar*>(widget))
    {
        out["current"] = tabs->currentIndex();
        QJsonArray names;
        for (int i = 0; i < tabs->count(); ++i)
            names.append(tabs->tabText(i));
        out["tabs"] = names;
    }
    if (auto* tabs = qobject_cast<const QTabWidget*>(widget))
        out["current"] = tabs->currentIndex();
    if (auto* combo = qobject_cast<const QComboBox*>(widget))
    {
        out["current"] = combo->currentIndex();
        QJsonArray items;
        for (int i = 0; i < combo->count(); ++i)
            items.append(combo->itemText(i));
        out["items"] = items;
    }
    if (auto* view = qobject_cast<const QAbstractItemView*>(widget))
    {
        const QAbstractItemModel* model = view->model();
        QJsonArray rows;
        for (int r = 0; model && r < model->rowCount(); ++r)
        {
            QJsonArray cells;
            for (int c = 0; c < model->columnCount(); ++c)
                cells.append(model->index(r, c).data().toString());
            rows.append(cells);
        }
        out["rows"] = rows;
    }
    return out;
}

QList<QWidget*> Windows()
{
    QList<QWidget*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && !qobject_cast<QMenu*>(widget))
            windows << widget;
    return windows;
}

// The window a request names: by object name, else by a part of its title; with no name the
// active modal window, else the active window, else the last shown one.
QWidget* FindWindow(const QString& name)
{
    const QList<QWidget*> windows = Windows();
    if (name.isEmpty())
    {
        if (QWidget* modal = QApplication::activeModalWidget())
            return modal;
        if (QWidget* active = QApplication::activeWindow())
            return active;
        return windows.isEmpty() ? nullptr : windows.last();
    }
    for (QWidget* widget : windows)
        if (widget->objectName() == name)
            return widget;
    for (QWidget* widget : windows)
        if (widget->windowTitle().contains(name))
            return widget;
    for (QWidget* widget : windows)
        if (QString::fromLatin1(widget->metaObject()->className()) == name)
            return widget;
    return nullptr;
}

// A message box's standard button by its English name, whatever language its text is in.
QString StandardName(QWidget* widget)
{
    auto* button = qobject_cast<QAbstractButton*>(widget);
    QMessageBox* box = nullptr;
    for (QWidget* up = widget; up && !box; up = up->parentWidget())
        box = qobject_cast<QMessageBox*>(up);
    if (!button || !box)
        return QString();
    switch (box->standardButton(button))
    {
    case QMessageBox::Ok:
        return QStringLiteral("OK");
    case QMessageBox::Cancel:
        return QStringLiteral("Cancel");
    case QMessageBox::Yes:
        return QStringLiteral("Yes");
    case QMessageBox::No:
        return QStringLiteral("No");
    default:
        return QString();
    }
}

// A visible control of the window by object name, class and/or text (the n-th match).
QWidget* FindControl(QWidget* window, const QJsonObject& request)
{
    const QString name = request.value("name").toString();
    const QString cls = request.value("class").toString();
    const QString text = request.value("text").toString();
    int index = request.value("index").toInt(0);
    QList<QWidget*> candidates = window->findChildren<QWidget*>();
    candidates.prepend(window);
    for (QWidget* widget : candidates)
    {
        if (!widget->isVisible())
            continue;
        if (!name.isEmpty() && widget->objectName() != name)
            continue;
        if (!cls.isEmpty() && !widget->inherits(cls.toLatin1().constData()))
            continue;
        if (!text.isEmpty() && Plain(TextOf(widget)) != text && StandardName(widget) != text)
            continue;
        if (index-- == 0)
            return widget;
    }
    return nullptr;
}

QAction* FindAction(const QString& name)
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        for (QAction* action : widget->findChildren<QAction*>())
            if (action->objectName() == name)
                return action;
    return nullptr;
}

class Driver : public QObject
{
public:
    Driver()
    {
        // The console programs have no QApplication: qApp would be a wrong downcast there.
        QCoreApplication::instance()->installEventFilter(this);
        const QString folder = qEnvironmentVariable("ROAD_DRIVER_DIR");
        const QString path = QStringLiteral("%1/%2-%3")
                                 .arg(folder, QCoreApplication::applicationName())
                                 .arg(QCoreApplication::applicationPid());
        m_server.setSocketOptions(QLocalServer::UserAccessOption);
        QLocalServer::removeServer(path);
        if (!m_server.listen(path))
            return;
        connect(&m_server, &QLocalServer::newConnection, this,
                [this]
                {
                    while (QLocalSocket* socket = m_server.nextPendingConnection())
                    {
                        connect(socket, &QLocalSocket::readyRead, this,
                                [this, socket] { Serve(socket); });
                        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
                    }
                });
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (m_firstShown < 0 && event->type() == QEvent::Show && object->isWidgetType() &&
            static_cast<QWidget*>(object)->isWindow())
            m_firstShown = SinceProcessStart();
        return false;
    }

private:
    void Serve(QLocalSocket* socket)
    {
        while (socket->canReadLine())
        {
            const QJsonObject request = QJsonDocument::fromJson(socket->readLine()).object();
            QJsonObject reply;
            try
            {
                reply = Handle(request);
            }
            catch (...)
            {
                reply = {{"error", "exception"}};
            }
            socket->write(QJsonDocument(reply).toJson(QJsonDocument::Compact) + '\n');
            socket->flush();
        }
    }

    QJsonObject Handle(const QJsonObject& request)
    {
        const QString command = request.value("cmd").toString();
        if (command == "hello")
            return {{"pid", QCoreApplication::applicationPid()},
                    {"app", QCoreApplication::applicationName()},
                    {"firstShownMs", m_firstShown},
                    {"peakKb", PeakMemoryKb()}};
        if (command == "windows")
        {
            QJsonArray list;
            const QWidget* modal = QApplication::activeModalWidget();
            for (QWidget* window : Windows())
            {
                QJsonObject item = Describe(window);
                item["title"] = window->windowTitle();
                item["modal"] = window == modal;
                item["active"] = window->isActiveWindow();
                list.append(item);
            }
            return {{"windows", list}};
        }
        if (command == "screen")
        {
            QScreen* screen = QGuiApplication::primaryScreen();
            const bool saved =
                screen && screen->grabWindow(0).save(request.value("path").toString(), "PNG");
            return {{"ok", saved}};
        }
        if (command == "action")
        {
            // Where a command sits: its tool button, or its item in an open menu.
            QAction* action = FindAction(request.value("name").toString());
            if (!action)
                return {{"error", "no such action"}};
            QJsonObject out{{"enabled", action->isEnabled()},
                            {"checked", action->isChecked()},
                            {"text", Plain(action->text())}};
            // An open menu first: a click elsewhere would only close it.
            for (QObject* object : action->associatedObjects())
                if (auto* menu = qobject_cast<QMenu*>(object); menu && menu->isVisible())
                {
                    const QRect rect = menu->actionGeometry(action);
                    if (!rect.isEmpty())
                        out["at"] = Rect(menu, rect);
                    return out;
                }
            for (QObject* object : action->associatedObjects())
            {
                auto* widget = qobject_cast<QWidget*>(object);
                if (!widget || !widget->isVisible() || qobject_cast<QMenu*>(widget))
                    continue;
                if (qobject_cast<QToolButton*>(widget))
                    out["at"] = Rect(widget, widget->rect());
                else if (auto* bar = qobject_cast<QToolBar*>(widget))
                {
                    if (QWidget* button = bar->widgetForAction(action);
                        button && button->isVisible())
                        out["at"] = Rect(button, button->rect());
                }
                if (out.contains("at"))
                    break;
            }
            return out;
        }

        if (command == "menu")
        {
            // Where a pop-up menu's title sits in its menu bar (by object name or title).
            const QString name = request.value("name").toString();
            for (QWidget* top : Windows())
                for (QMenuBar* bar : top->findChildren<QMenuBar*>())
                    for (QAction* action : bar->actions())
                        if (action->menu() && (action->menu()->objectName() == name ||
                                               Plain(action->menu()->title()) == name))
                        {
                            const QRect rect = bar->actionGeometry(action);
                            if (!rect.isEmpty())
                                return Rect(bar, rect);
                        }
            return {{"error", "no such menu"}};
        }
        QWidget* window = FindWindow(request.value("window").toString());
        if (!window)
            return {{"error", "no such window"}};
        if (command == "grab")
            return {{"ok", window->grab().save(request.value("path").toString(), "PNG")}};
        if (command == "controls")
        {
            // Every visible control of the window with an object name: what a person sees.
            QJsonArray list;
            for (QWidget* widget : window->findChildren<QWidget*>())
                if (widget->isVisible() && !widget->objectName().isEmpty() &&
                    !widget->objectName().startsWith("qt_"))
                {
                    QJsonObject item = Describe(widget);
                    item.remove("rows");
                    list.append(item);
                }
            return {{"controls", list}};
        }
        QWidget* control = FindControl(window, request);
        if (!control)
            return {{"error", "no such control"}};
        if (command == "find")
            return Describe(control);
        if (command == "tab")
        {
            // The rectangle of one tab of a tab bar (or of a tab widget's bar).
            QTabBar* bar = qobject_cast<QTabBar*>(control);
            if (auto* tabs = qobject_cast<QTabWidget*>(control))
                bar = tabs->tabBar();
            const int index = request.value("tab").toInt();
            if (!bar || index < 0 || index >= bar->count())
                return {{"error", "no such tab"}};
            return Rect(bar, bar->tabRect(index));
        }
        if (command == "cell")
        {
            // The rectangle of one cell of an item view, scrolled into sight.
            auto* view = qobject_cast<QAbstractItemView*>(control);
            if (!view || !view->model())
                return {{"error", "not an item view"}};
            const QModelIndex index =
                view->model()->index(request.value("row").toInt(), request.value("column").toInt());
            if (!index.isValid())
                return {{"error", "no such cell"}};
            view->scrollTo(index);
            return Rect(view->viewport(), view->visualRect(index));
        }
        if (command == "commit")
        {
            // Text as an input method commits it, into the control that has the focus.
            QPointer<QWidget> target = control;
            const QString text = request.value("value").toString();
            const bool replace = request.value("replace").toBool();
            QTimer::singleShot(0, this,
                               [target, text, replace]
                               {
                                   if (!target)
                                       return;
                                   QWidget* focus = target->isWindow() && target->focusWidget()
                                                        ? target->focusWidget()
                                                        : target.data();
                                   // Replacing is select-all first, as a person would.
                                   if (replace)
                                   {
                                       if (auto* edit = qobject_cast<QLineEdit*>(focus))
                                           edit->selectAll();
                                       else if (auto* plain = qobject_cast<QPlainTextEdit*>(focus))
                                           plain->selectAll();
                                   }
                                   QInputMethodEvent event;
                                   event.setCommitString(text);
                                   QCoreApplication::sendEvent(focus, &event);
                               });
            return {{"ok", true}};
        }
        return {{"error", "unknown command"}};
    }

    QLocalServer m_server;
    double m_firstShown = -1;
};

// The process's peak memory, left beside the driver's socket when the program ends; console
// programs that never show a window report it too.
void WritePeak()
{
    QFile file(
        QStringLiteral("%1/%2-%3.peak")
            .arg(qEnvironmentVariable("ROAD_DRIVER_DIR"), QCoreApplication::applicationName())
            .arg(QCoreApplication::applicationPid()));
    if (file.open(QIODevice::WriteOnly))
        file.write(QByteArray::number(PeakMemoryKb()));
}

void StartDriver()
{
    if (qEnvironmentVariableIsEmpty("ROAD_DRIVER_DIR"))
        return;
    qAddPostRoutine(WritePeak);
    // Made once the application object is whole; the event filter must see the first window.
    // The application owns it, so it goes with the application, not leaked at exit.
    (new Driver)->setParent(QCoreApplication::instance());
}
} // namespace

Q_COREAPP_STARTUP_FUNCTION(StartDriver)
