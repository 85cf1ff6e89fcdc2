#pragma once

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QString>

#include <cstring>

// What the main program's links to its helper programs (quelm-browser, quelm-check) share:
// where a helper is, and how to tell the user that it ended.
namespace HelperProgram {

// The helper beside the executable; for an installed program, where the packaging puts it under
// lib/ instead, ../lib/quelm/<name>.
inline QString PathBeside(const QString& executableDir, const QString& name)
{
    const QDir dir(executableDir);
    const QString beside = dir.filePath(name);
    const QString installed = QDir::cleanPath(dir.filePath(QStringLiteral("../lib/quelm/") + name));
    if (!QFileInfo::exists(beside) && QFileInfo::exists(installed))
        return installed;
    return beside;
}

inline QString Shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// Starts the process's program; empty on success, else why not, naming the helper as `what`
// ("找不到<what>“<path>”"…).
inline QString Start(QProcess& process, const QString& what)
{
    const QString path = process.program();
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("找不到%1“%2”").arg(what, Shown(path));
    if (!info.isFile() || !info.isExecutable())
        return QStringLiteral("%1“%2”不是可执行文件").arg(what, Shown(path));
    process.start();
    if (process.waitForStarted(3000))
        return QString();
    const QString reason = process.errorString();
    process.kill();
    process.waitForFinished(1000);
    return QStringLiteral("%1“%2”启动失败（%3）").arg(what, Shown(path), reason);
}

// "被信号 SIGSEGV 终止" or "退出码 1", for an ended process.
inline QString HowItEnded(const QProcess& process)
{
    // After a crash QProcess reports the signal's number as the exit code.
    if (process.exitStatus() == QProcess::CrashExit) {
        const char* name = ::sigabbrev_np(process.exitCode());
        return QStringLiteral("被信号 %1 终止")
            .arg(name ? QStringLiteral("SIG") + QString::fromLatin1(name) : QString::number(process.exitCode()));
    }
    return QStringLiteral("退出码 %1").arg(process.exitCode());
}

// The dynamic loader's complaint in a helper's standard error, "…: error while loading shared
// libraries: <library>: <reason>", as "“<library>”（<reason>）"; empty when there is none.
inline QString LibraryProblem(const QByteArray& errors)
{
    static const QRegularExpression loader(
        QStringLiteral("error while loading shared libraries: ([^:\\n]+): ([^\\n]*)"));
    const QRegularExpressionMatch match = loader.match(QString::fromLocal8Bit(errors));
    return match.hasMatch() ? QStringLiteral("“%1”（%2）").arg(match.captured(1), match.captured(2).trimmed())
                            : QString();
}

} // namespace HelperProgram
