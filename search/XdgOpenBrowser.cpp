#include "XdgOpenBrowser.h"

#include <QProcess>
#include <QStandardPaths>

void XdgOpenBrowser::open(const QString& url)
{
    const QString name = QStringLiteral("xdg-open");
    // Looked up on every call: PATH may change, and a missing program must be reported, not ignored.
    const QString program = QStandardPaths::findExecutable(name);
    if (program.isEmpty())
        throw BrowserStartError(
            QStringLiteral("无法打开浏览器：找不到程序“%1”。请安装 xdg-utils 软件包后再试。").arg(name));
    if (!QProcess::startDetached(program, {url}))
        throw BrowserStartError(QStringLiteral("无法打开浏览器：程序“%1”（%2）不能启动。").arg(name, program));
}
