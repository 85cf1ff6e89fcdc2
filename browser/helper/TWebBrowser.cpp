#include "TWebBrowser.h"

#include "QuelmError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
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

namespace {

// The engine aborts the whole program when it cannot find its process; say
// so beforehand. These are the places the engine looks (only the one named by
// QTWEBENGINEPROCESS_PATH when that is set), taken generously: a false alarm
// would lock the user out, a miss only ends in the engine's own message.
QString EngineProcessProblem()
{
    const QString binary = QStringLiteral("QtWebEngineProcess");
    const QString fromEnv = qEnvironmentVariable("QTWEBENGINEPROCESS_PATH");
    const QStringList candidates = !fromEnv.isEmpty()
        ? QStringList{fromEnv}
        : QStringList{QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) + u'/' + binary,
                      QLibraryInfo::path(QLibraryInfo::BinariesPath) + u'/' + binary,
                      QCoreApplication::applicationDirPath() + u'/' + binary};
    for (const QString& candidate : candidates) {
        if (QFileInfo::exists(candidate))
            return {};
    }
    if (!fromEnv.isEmpty())
        return QStringLiteral("无法启动Quelm浏览器的网页引擎：找不到环境变量 QTWEBENGINEPROCESS_PATH 指定的引擎程序“%1”。"
                              "请改正或删除这个环境变量后再试")
            .arg(fromEnv);
    return QStringLiteral("无法启动Quelm浏览器的网页引擎：找不到引擎程序 %1（查找过 %2）。"
                          "请安装 Debian 软件包 libqt6webenginecore6-bin 后再试")
        .arg(binary, candidates.join(QStringLiteral("、")));
}

} // namespace

QString TWebBrowser::Refusal(const QString& url)
{
    if (url.isEmpty())
        return QStringLiteral("无法打开网页：地址为空");
    if (!QUrl(url).isValid())
        return QStringLiteral("无法打开网页：地址“%1”无效").arg(url);
    return EngineProcessProblem();
}

void TWebBrowser::Navigate(const QString& url)
{
    if (const QString refusal = Refusal(url); !refusal.isEmpty())
        throw QuelmError(refusal);
    view()->load(QUrl(url));
}

void TWebBrowser::Stop()
{
    if (m_view)
        m_view->stop();
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
