#pragma once

#include "GuardedApplication.h"

#include <QPointer>
#include <QString>

// The helper's application object: the error box of a handler or a command that failed.
class BrowserHelperApplication final : public GuardedApplication
{
    Q_OBJECT
public:
    BrowserHelperApplication(int& argc, char** argv);

    // The box opens over the window and returns at once: a nested event loop
    // would let later commands overtake the one that failed.
    void ShowError(const QString& message);
    void OpenBox(const QString& text);   // text as the box shows it
    void SetErrorBoxParent(QWidget* window) { m_errorBoxParent = window; }

private:
    QPointer<QWidget> m_errorBoxParent;
};
