#include "controls/SystemTrayBackend.h"

#include <QSystemTrayIcon>

SystemTrayBackend::SystemTrayBackend() = default;
SystemTrayBackend::~SystemTrayBackend() = default;

bool SystemTrayBackend::IsAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void SystemTrayBackend::Add(const QIcon& icon, const QString& tip)
{
    if (!m_icon) {
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
    m_icon->setIcon(icon);
    m_icon->setToolTip(tip);
    m_icon->show();
}

void SystemTrayBackend::Delete()
{
    if (m_icon)
        m_icon->hide();
}
