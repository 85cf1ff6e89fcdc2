#pragma once

#include <QString>
#include <QWidget>

// The browser control `wb` as the window uses it: the real one hosts the
// engine (TWebBrowser), tests put a recording fake in its place.
class WebBrowserControl : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;
    ~WebBrowserControl() override = default;

    // Both return as soon as the engine took the call and throw
    // QuelmError when it refuses it.
    virtual void Navigate(const QString& url) = 0;
    virtual void Stop() = 0;
};
