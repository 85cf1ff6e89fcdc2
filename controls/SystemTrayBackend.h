#pragma once

#include "controls/TrayBackend.h"

#include <QMenu>
#include <QObject>
#include <QPointer>

#include <memory>

class QSystemTrayIcon;

// The tray through QSystemTrayIcon. It is created on the first add, so that a
// program that never minimises pays nothing for it.
//
// Where a StatusNotifierItem host runs (Plasma, LXQt, Deepin, GNOME's AppIndicator
// extension), Qt publishes the item over D-Bus: the item then carries the menu and
// the title, so that the desktop can show the menu itself. Under an XEmbed tray
// Qt would pop a context menu up on the right button by itself, so the menu is
// kept from it there and only the presses are reported.
class SystemTrayBackend final : public QObject, public TrayBackend
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SystemTrayBackend)
public:
    SystemTrayBackend();
    ~SystemTrayBackend() override;

    bool IsAvailable() const override;
    void Add(const QIcon& icon, const QString& tip) override;
    void Delete() override;
    void Describe(const QString& title, QMenu* menu) override;

private:
    void Create();
    void TakeTitle();
    void GiveTitleBack();

    std::unique_ptr<QSystemTrayIcon> m_icon;
    bool m_statusNotifier = false;
    QString m_title;
    QPointer<QMenu> m_menu;
    QString m_applicationName;   // while the item shows the title in its place
    bool m_titleTaken = false;
};
