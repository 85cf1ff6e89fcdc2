#include "controls/LinkOpener.h"

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <stdexcept>

LinkOpener::~LinkOpener() = default;

namespace {

class XdgLinkOpener final : public LinkOpener
{
public:
    void Open(const QString& target) override
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
        if (program.isEmpty())
            throw std::runtime_error(QStringLiteral("无法打开“%1”：找不到 xdg-open 程序。").arg(target).toStdString());
        if (!QProcess::startDetached(program, {target}))
            throw std::runtime_error(QStringLiteral("无法打开“%1”：xdg-open 未能启动。").arg(target).toStdString());
    }
};

XdgLinkOpener& DefaultOpener()
{
    static XdgLinkOpener opener;
    return opener;
}

LinkOpener* g_opener = nullptr;

} // namespace

void SetLinkOpener(LinkOpener* opener)
{
    g_opener = opener;
}

LinkOpener& CurrentLinkOpener()
{
    return g_opener ? *g_opener : DefaultOpener();
}
