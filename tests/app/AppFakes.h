#pragma once

#include "BuiltInBrowser.h"
#include "QuelmError.h"
#include "ExternalBrowser.h"
#include "controls/TrayBackend.h"

#include "AutostartRegistryBackend.h"
#include "IniRegistryBackend.h"
#include "SettingsStore.h"

#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// Records every address handed to the external browser; can be told to fail.
class RecordingExternalBrowser final : public ExternalBrowser
{
public:
    void open(const QString& url) override
    {
        if (fail)
            throw QuelmError(QStringLiteral("无法启动浏览器程序“xdg-open”"));
        urls.append(url);
    }
    QStringList urls;
    bool fail = false;
};

// Records the built-in window's operations in order: "show" and "navigate <url>".
class RecordingBuiltInBrowser final : public BuiltInBrowser
{
public:
    void Show() override { calls.append(QStringLiteral("show")); }
    void Navigate(const QString& url) override { calls.append(QStringLiteral("navigate ") + url); }
    QStringList calls;
};

// A notification area that counts what it was asked to do.
class CountingTray final : public TrayBackend
{
public:
    explicit CountingTray(bool available = true) : available(available) {}
    bool IsAvailable() const override { return available; }
    void Add(const QIcon&, const QString& tip) override
    {
        ++adds;
        shown = true;
        lastTip = tip;
    }
    void Describe(const QString&, QMenu*) override {}
    void Delete() override
    {
        ++deletes;
        if (deletesOut)
            ++*deletesOut;
        shown = false;
    }
    bool available;
    int adds = 0;
    int deletes = 0;
    bool shown = false;
    QString lastTip;
    std::shared_ptr<int> deletesOut;   // outlives the backend, which dies with its icon
};

// The real settings store, over files in a folder of the test's own.
struct TemporarySettings {
    QTemporaryDir dir;
    IniRegistryBackend ini{dir.path() + QStringLiteral("/quelm_search")};
    AutostartRegistryBackend autostart{dir.path() + QStringLiteral("/autostart")};
    SettingsStore store{ini, autostart};
};
