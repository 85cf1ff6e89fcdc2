#pragma once

#include "QuelmError.h"
#include "WebBrowserControl.h"

#include <QStringList>

// Stands in for the engine: records the calls, or refuses them.
class RecordingBrowserControl final : public WebBrowserControl
{
    Q_OBJECT
public:
    using WebBrowserControl::WebBrowserControl;

    void Navigate(const QString& url) override
    {
        if (refuse)
            throw QuelmError(QStringLiteral("无法打开网页"));
        calls << "navigate " + url;
    }
    void Stop() override { calls << QStringLiteral("stop"); }

    QStringList calls;
    bool refuse = false;
};
