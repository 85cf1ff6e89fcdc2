#include "ConfigHome.h"

#include <QDir>
#include <QFile>

#include <pwd.h>
#include <unistd.h>

QString ConfigHome()
{
    // A relative XDG_CONFIG_HOME would put the settings wherever the program was started from;
    // the rules say to ignore it. Without HOME, Qt would fall back on "/", and root would
    // then keep its settings in /.config.
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (QDir::isAbsolutePath(configured))
        return QDir::cleanPath(configured);
    QString home = qEnvironmentVariable("HOME");
    if (!QDir::isAbsolutePath(home)) {
        const passwd* account = ::getpwuid(::getuid());
        home = account && account->pw_dir ? QFile::decodeName(account->pw_dir) : QString();
    }
    if (!QDir::isAbsolutePath(home))
        home = QDir::rootPath();
    return QDir::cleanPath(home + QStringLiteral("/.config"));
}
