#pragma once

#include <QIcon>
#include <QString>

class QMenu;

#include <functional>

// The notification area as the tray icon sees it: add one icon with a tip,
// delete it, and report presses on it. QSystemTrayIcon is the real one; tests
// hand in a recording fake.
class TrayBackend
{
public:
    enum class Press { Left, Right, Double, Other };

    virtual ~TrayBackend() = default;

    // Whether a notification area exists at all (no tray host, no icon).
    virtual bool IsAvailable() const = 0;
    virtual void Add(const QIcon& icon, const QString& tip) = 0;
    // The name and menu a desktop shows for the icon by itself, where the tray's protocol
    // carries them (StatusNotifierItem); a tray that only reports presses leaves both to
    // the program. Given before every add.
    virtual void Describe(const QString& title, QMenu* menu) = 0;
    virtual void Delete() = 0;

    // Set by the owner; called for every press on the shown icon.
    std::function<void(Press)> onPress;
};
