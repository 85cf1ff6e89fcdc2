// A second program that uses the settings store, for the tests that need another process
// (two saving at once) or another user (files root could otherwise read and write).
//   settings_writer <folder> save <rounds> <id>   alternate both settings, check every read
//   settings_writer <folder> save-once <0|1>      save the browser mode once
//   settings_writer <folder> read                 print the browser mode as read
//   settings_writer <folder> count <rounds> <name>  set name to 0, 1, 2 ..., finding each time
//                                                  the number it set last
// <folder> holds quelm_search/ and autostart/; "-" stands for the store's own XDG locations.
// Prints "ok" or the store's message.

#include "AutostartRegistryBackend.h"
#include "IniRegistryBackend.h"
#include "QuelmError.h"
#include "SettingsStore.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

int fail(const QString& message)
{
    std::printf("%s\n", message.toUtf8().constData());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return fail(QStringLiteral("usage: settings_writer <folder> save|save-once|read ..."));
    const bool xdg = args.at(1) == QLatin1String("-");
    IniRegistryBackend ini(xdg ? IniRegistryBackend::defaultFolder() : args.at(1) + QStringLiteral("/quelm_search"));
    AutostartRegistryBackend autostart(xdg ? AutostartRegistryBackend::defaultFolder()
                                           : args.at(1) + QStringLiteral("/autostart"));
    SettingsStore store(ini, autostart);
    const QString mode = args.at(2);
    try {
        if (mode == QLatin1String("save") && args.size() == 5) {
            const int rounds = args.at(3).toInt();
            const QString program = QStringLiteral("/opt/quelm %1/quelm").arg(args.at(4));
            for (int i = 0; i < rounds; ++i) {
                store.writeBrowserMode(i % 2 == 0);
                store.writeStartWithSystem(i % 2 == 0, program);
                const SettingsStore::ReadResult mode = store.readBrowserModeText();
                if (!mode.keyOpened)
                    return fail(QStringLiteral("round %1: the settings file does not parse").arg(i));
                if (!mode.text.isEmpty() && mode.text != QLatin1String("yes"))
                    return fail(QStringLiteral("round %1: browser mode reads \"%2\"").arg(i).arg(mode.text));
                const QString start = store.readStartWithSystem().text;
                if (!start.isEmpty() && !start.startsWith(QLatin1String("/opt/quelm ")))
                    return fail(QStringLiteral("round %1: start entry reads \"%2\"").arg(i).arg(start));
            }
        } else if (mode == QLatin1String("save-once") && args.size() == 4) {
            store.writeBrowserMode(args.at(3) == QLatin1String("1"));
        } else if (mode == QLatin1String("count") && args.size() == 5) {
            const QString name = args.at(4);
            QString last;
            for (int i = 0; i < args.at(3).toInt(); ++i) {
                const std::unique_ptr<RegistryKey> key = ini.openKey();
                if (!key)
                    return fail(QStringLiteral("round %1: the settings file does not parse").arg(i));
                if (const QString found = key->readString(name); found != last)
                    return fail(QStringLiteral("round %1: %2 reads \"%3\", not \"%4\"").arg(i).arg(name, found, last));
                last = QString::number(i);
                key->writeString(name, last);
            }
        } else if (mode == QLatin1String("read")) {
            const SettingsStore::ReadResult result = store.readBrowserModeText();
            std::printf("%s %s\n", result.keyOpened ? "opened" : "not-opened", result.text.toUtf8().constData());
            return 0;
        } else {
            return fail(QStringLiteral("unknown mode"));
        }
    } catch (const QuelmError& error) {
        return fail(QString::fromUtf8(error.what()));
    }
    std::printf("ok\n");
    return 0;
}
