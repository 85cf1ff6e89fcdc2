#pragma once

#include "QuelmError.h"
#include "ExternalBrowser.h"

#include <QByteArray>

#include <sys/types.h>

// Hands the address to xdg-open, found on PATH, as its one argument; no shell is involved, and
// nothing waits for the browser (its end is collected in the background).
class XdgOpenBrowser final : public ExternalBrowser
{
public:
    XdgOpenBrowser() = default;
    Q_DISABLE_COPY_MOVE(XdgOpenBrowser)

    void open(const QString& url) override;

    // Started as a detached process would be: a session of its own, default signal handling, no
    // blocked signals. Returns 0 or the errno of the failed start (exec errors included). The
    // benchmarks time this very call.
    static int Spawn(const QByteArray& program, const QByteArray& argument, pid_t* pid);
};
