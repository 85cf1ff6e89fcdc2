#pragma once

#include "controls/TrayBackend.h"

#include <QObject>

#include <memory>

class QSystemTrayIcon;

// The tray through QSystemTrayIcon. It is created on the first add, so that a
// program that never minimises pays nothing for it.
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

private:
    std::unique_ptr<QSystemTrayIcon> m_icon;
};
