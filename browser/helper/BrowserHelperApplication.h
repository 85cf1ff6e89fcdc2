#pragma once

#include <QApplication>
#include <QPointer>
#include <QString>

// The helper's application object: an error that ends an event handler or a
// command is shown in the standard error box, and the helper carries on.
class BrowserHelperApplication final : public QApplication
{
    Q_OBJECT
public:
    BrowserHelperApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The box opens over the window and returns at once: a nested event loop
    // would let later commands overtake the one that failed.
    void ShowError(const QString& message);
    void SetErrorBoxParent(QWidget* window) { m_errorBoxParent = window; }

private:
    QPointer<QWidget> m_errorBoxParent;
};
