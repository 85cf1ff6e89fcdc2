#pragma once

#include <QByteArray>

#include <functional>

class QWidget;

// What the launcher gives a start so that the window it brings up may take the focus on desktops
// that prevent focus stealing: the X11 start-up ID and the Wayland activation token. A second
// start hands its own to the running program, whose window comes forward with them.
struct LaunchActivation final
{
    QByteArray startupId;         // DESKTOP_STARTUP_ID
    QByteArray activationToken;   // XDG_ACTIVATION_TOKEN

    // Each empty when the variable is unset or not well formed.
    static LaunchActivation FromEnvironment();
    // Printable ASCII, 1 to 255 bytes: anything else is not handed to the display server.
    static bool WellFormed(const QByteArray& token);

    // Runs comeForward (show, raise, activate) so that the display server takes it as the
    // launcher's request. Tokens that are not well formed are left out.
    void BringForward(QWidget& window, const std::function<void()>& comeForward) const;
};
