#pragma once

#include "WebBrowserControl.h"

class QWebEngineProfile;
class QWebEngineView;

// The browser control on Qt WebEngine. The engine is brought up on the first
// Navigate or Stop, so the window opens without waiting for it and shows a
// blank page until then.
class TWebBrowser final : public WebBrowserControl
{
    Q_OBJECT
public:
    explicit TWebBrowser(QWidget* parent = nullptr);
    // Pages go before their profile.
    ~TWebBrowser() override;
    Q_DISABLE_COPY_MOVE(TWebBrowser)

    void Navigate(const QString& url) override;
    // Before the first navigation there is nothing to stop, and no engine to start for it.
    void Stop() override;

    // Why Navigate would refuse the address (empty, invalid, or the engine
    // cannot start here), or an empty text. Safe on any thread.
    static QString Refusal(const QString& url);

    // Where cookies, local storage and the cache are kept between runs.
    static QString StoragePath();

private:
    QWebEngineView* view();

    QWebEngineProfile* m_profile = nullptr;
    QWebEngineView* m_view = nullptr;
};
