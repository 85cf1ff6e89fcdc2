#include "AutostartRegistryBackend.h"

#include "DesktopEntry.h"
#include "ConfigHome.h"
#include "QuelmError.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {

class AutostartKey final : public RegistryKey
{
public:
    explicit AutostartKey(QString filePath) : m_filePath(std::move(filePath)) {}
    Q_DISABLE_COPY_MOVE(AutostartKey)

    QString readString(const QString&) override
    {
        QFile file(m_filePath);
        if (!file.open(QIODevice::ReadOnly))
            return QString();
        const auto group = DesktopEntry::readMainGroup(file.readAll());
        if (!group)
            return QString();
        const auto isSet = [&](const QString& key, bool value) {
            return group->contains(key) && DesktopEntry::parseBoolean(group->value(key)) == value;
        };
        if (isSet(QStringLiteral("Hidden"), true) || isSet(QStringLiteral("X-GNOME-Autostart-enabled"), false))
            return QString();
        const auto arguments = DesktopEntry::splitExecValue(group->value(QStringLiteral("Exec")));
        return arguments ? arguments->value(0) : QString();
    }

    void writeString(const QString& valueName, const QString& data) override
    {
        QByteArray contents;
        if (!data.isEmpty()) {
            const std::optional<QString> exec = DesktopEntry::execValue({data});
            if (!exec)
                throw SettingsFailure::failedToSetData(valueName);
            contents = entryFor(*exec);
        } else {
            QFile file(m_filePath);
            if (!file.exists())
                return; // no entry, so nothing starts at log-on already
            if (!file.open(QIODevice::ReadOnly))
                throw SettingsFailure::failedToSetData(valueName);
            // Desktops differ in which of the two keys they honour.
            contents = DesktopEntry::withMainGroupKeys(
                file.readAll(),
                {{QStringLiteral("Hidden"), QStringLiteral("true")},
                 {QStringLiteral("X-GNOME-Autostart-enabled"), QStringLiteral("false")}});
        }
        QSaveFile file(m_filePath);
        if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() || !file.commit())
            throw SettingsFailure::failedToSetData(valueName);
    }

private:
    static QByteArray entryFor(const QString& execValue)
    {
        return QStringLiteral("[Desktop Entry]\n"
                              "Type=Application\n"
                              "Name=QUELM搜索寻踪客\n"
                              "Name[en]=QUELM Search\n"
                              "Comment=登录桌面时自动启动QUELM搜索寻踪客\n"
                              "Exec=%1\n"
                              "Icon=com.quelm.Search\n"
                              "Categories=Network;\n"
                              "X-GNOME-Autostart-enabled=true\n")
            .arg(execValue)
            .toUtf8();
    }

    QString m_filePath;
};

} // namespace

AutostartRegistryBackend::AutostartRegistryBackend(QString folder) : m_folder(std::move(folder)) {}

QString AutostartRegistryBackend::defaultFolder()
{
    return ConfigHome() + QStringLiteral("/autostart");
}

QString AutostartRegistryBackend::filePath() const
{
    return m_folder + QStringLiteral("/com.quelm.Search.desktop");
}

std::unique_ptr<RegistryKey> AutostartRegistryBackend::openKey()
{
    if (!QDir().mkpath(m_folder))
        return nullptr;
    return std::make_unique<AutostartKey>(filePath());
}
