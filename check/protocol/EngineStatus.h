#pragma once

#include <QString>

// What a check found out about one engine's search address.
struct EngineStatus
{
    enum class Kind {
        Ok,          // a success (2xx) after at most 5 redirects
        HttpError,   // an HTTP error, or a redirect that leads nowhere
        Redirects,   // more than 5 redirects
        Unreachable, // no name, no connection, no TLS, or no address to ask
        Timeout,     // no answer in time
    };
    Kind kind = Kind::Ok;
    int httpCode = 0;
    QString detail; // for the tool tip: which host, which reason, where it ended

    bool Usable() const { return kind == Kind::Ok; }
    // The text of the list's column "状态".
    QString Text() const;

    bool operator==(const EngineStatus& other) const
    {
        return kind == other.kind && httpCode == other.httpCode && detail == other.detail;
    }
};
