#include "TWebBrowser.h"

#include "BrowserControlError.h"

#include <QDir>
#include <QOpenGLWidget>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineView>

TWebBrowser::TWebBrowser(QWidget* parent)
    : WebBrowserControl(parent)
{
    QPalette blank = palette();
    blank.setColor(QPalette::Window, Qt::white);
    setPalette(blank);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // The engine's view draws through OpenGL. Its arrival in a window already
    // on screen would make Qt destroy and re-create that window (it blinks
    // and may move); a hidden OpenGL child gives the window the right kind of
    // surface from the start.
    (new QOpenGLWidget(this))->hide();
}

TWebBrowser::~TWebBrowser()
{
    delete m_view; // and its page with it
    delete m_profile;
}

QString TWebBrowser::StoragePath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("quelm_search/browser"));
}

void TWebBrowser::Navigate(const QString& url)
{
    const QUrl target(url);
    if (url.isEmpty())
        throw BrowserControlError(QStringLiteral("无法打开网页：地址为空"));
    if (!target.isValid())
        throw BrowserControlError(QStringLiteral("无法打开网页：地址“%1”无效").arg(url));
    view()->load(target);
}

void TWebBrowser::Stop()
{
    view()->stop();
}

QWebEngineView* TWebBrowser::view()
{
    if (m_view)
        return m_view;

    const QString storage = StoragePath();
    m_profile = new QWebEngineProfile(QStringLiteral("quelm_search"));
    m_profile->setPersistentStoragePath(storage);
    m_profile->setCachePath(QDir(storage).filePath(QStringLiteral("Cache")));
    m_profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    m_profile->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);

    m_view = new QWebEngineView(m_profile, this);
    // Links that ask for a window of their own open here instead.
    QWebEnginePage* page = m_view->page();
    connect(page, &QWebEnginePage::newWindowRequested, page,
            [page](QWebEngineNewWindowRequest& request) { page->load(request.requestedUrl()); });
    layout()->addWidget(m_view);
    setFocusProxy(m_view);
    return m_view;
}
