#include "controls/SystemTrayBackend.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QSystemTrayIcon>

namespace {

// The test Qt makes when it picks its tray: a StatusNotifierItem host registered with
// the watcher. Qt asks once per process, on the first use of a tray icon, as this does.
bool statusNotifierHostRegistered()
{
    const QString watcherName = QStringLiteral("org.kde.StatusNotifierWatcher");
    QDBusInterface watcher(watcherName, QStringLiteral("/StatusNotifierWatcher"), watcherName,
                           QDBusConnection::sessionBus());
    return watcher.isValid() && watcher.property("IsStatusNotifierHostRegistered").toBool();
}

} // namespace

SystemTrayBackend::SystemTrayBackend() = default;

SystemTrayBackend::~SystemTrayBackend()
{
    GiveTitleBack();
}

bool SystemTrayBackend::IsAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void SystemTrayBackend::Describe(const QString& title, QMenu* menu)
{
    m_title = title;
    m_menu = menu;
}

void SystemTrayBackend::Create()
{
    m_statusNotifier = statusNotifierHostRegistered();
    m_icon = std::make_unique<QSystemTrayIcon>();
    connect(m_icon.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (!onPress)
            return;
        switch (reason) {
        case QSystemTrayIcon::Trigger:
            onPress(Press::Left);
            break;
        case QSystemTrayIcon::Context:
            onPress(Press::Right);
            break;
        case QSystemTrayIcon::DoubleClick:
            onPress(Press::Double);
            break;
        default:
            onPress(Press::Other);
            break;
        }
    });
}

void SystemTrayBackend::Add(const QIcon& icon, const QString& tip)
{
    if (!m_icon)
        Create();
    if (m_statusNotifier) {
        m_icon->setContextMenu(m_menu);
        TakeTitle();
    }
    m_icon->setIcon(icon);
    m_icon->setToolTip(tip);
    m_icon->show();
}

void SystemTrayBackend::Delete()
{
    if (m_icon)
        m_icon->hide();
    GiveTitleBack();
}

// Qt's item reads its title from the application's name whenever a desktop asks, so the
// name is the title while the item shows. The windows keep theirs: X takes the window
// class from the name when the first window is made, long before this.
void SystemTrayBackend::TakeTitle()
{
    if (m_titleTaken || m_title.isEmpty())
        return;
    m_applicationName = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(m_title);
    m_titleTaken = true;
}

void SystemTrayBackend::GiveTitleBack()
{
    if (!m_titleTaken)
        return;
    QCoreApplication::setApplicationName(m_applicationName);
    m_titleTaken = false;
}
