#include "EngineStatus.h"

QString EngineStatus::Text() const
{
    switch (kind) {
    case Kind::Ok:
        return QStringLiteral("正常");
    case Kind::HttpError:
        return QStringLiteral("出错 %1").arg(httpCode);
    case Kind::Redirects:
        return QStringLiteral("出错 重定向过多");
    case Kind::Unreachable:
        return QStringLiteral("无法连接");
    case Kind::Timeout:
        return QStringLiteral("超时");
    }
    return QString();
}
