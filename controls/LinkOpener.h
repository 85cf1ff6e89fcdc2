#pragma once

// Hands a link target (a web or mail address, or a file path) to the desktop. Tests install a
// recording fake so that nothing is started.

#include <QtGlobal>

class QString;

class LinkOpener
{
public:
    LinkOpener() = default;
    virtual ~LinkOpener();
    // Throws a std::exception (UTF-8 message) when the target cannot be handed over at all.
    virtual void Open(const QString& target) = 0;

private:
    Q_DISABLE_COPY_MOVE(LinkOpener)
};

// nullptr restores the default, which starts `xdg-open <target>` (found on PATH, no shell).
// The opener is not owned.
void SetLinkOpener(LinkOpener* opener);
LinkOpener& CurrentLinkOpener();
