#include "UrlComposer.h"

#include "Charset.h"

#include <QUrl>

namespace {

bool isAscii(const QString& text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

bool isUnreserved(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

void appendEncoded(QByteArray& url, const QByteArray& bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    for (char c : bytes) {
        if (isUnreserved(c)) {
            url.append(c);
        } else {
            const auto byte = static_cast<unsigned char>(c);
            url.append('%');
            url.append(hex[byte >> 4]);
            url.append(hex[byte & 0x0F]);
        }
    }
}

QByteArray start(const QString& host, const QString& prefix, qsizetype extra, const QString& charset)
{
    QByteArray url;
    url.reserve(7 + host.size() + prefix.size() * 3 + extra * 12);
    url.append("http://");
    url.append(host.toLatin1());
    url.append(UrlComposer::encodePrefix(prefix, charset));
    return url;
}

} // namespace

namespace UrlComposer {

QByteArray toGb18030(const QString& text)
{
    return Charset::encode(text, Gb18030());
}

QByteArray percentEncode(const QByteArray& bytes)
{
    QByteArray url;
    url.reserve(bytes.size() * 3);
    appendEncoded(url, bytes);
    return url;
}

QByteArray encodePrefix(const QString& prefix, const QString& charset)
{
    if (isAscii(prefix))
        return prefix.toLatin1();
    QByteArray url;
    qsizetype from = 0;
    while (from < prefix.size()) {
        qsizetype to = from;
        const bool ascii = prefix.at(from).unicode() < 0x80;
        while (to < prefix.size() && (prefix.at(to).unicode() < 0x80) == ascii)
            ++to;
        const QString run = prefix.mid(from, to - from);
        if (ascii)
            url.append(run.toLatin1());
        else
            appendEncoded(url, Charset::encode(run, charset));
        from = to;
    }
    return url;
}

QByteArray plainUrl(const QString& host, const QString& prefix, const QString& query, const QString& charset)
{
    QByteArray url = start(host, prefix, query.size(), charset);
    appendEncoded(url, Charset::encode(query, charset));
    return url;
}

QByteArray typedUrl(const QString& host, const QString& prefix, const QString& selectorText, const QString& query,
                    const QString& charset)
{
    QByteArray url = start(host, prefix, selectorText.size() + query.size(), charset);
    appendEncoded(url, Charset::encode(selectorText, charset));
    url.append("&key=");
    appendEncoded(url, Charset::encode(query, charset));
    return url;
}

QByteArray templateUrl(const QString& address, const QString& query, const QString& charset)
{
    // The host ends the authority: the first "/", "?" or "#" after the scheme's "//".
    const qsizetype schemeEnd = address.indexOf(QLatin1String("://"));
    qsizetype pathStart = address.size();
    if (schemeEnd >= 0) {
        for (qsizetype i = schemeEnd + 3; i < address.size(); ++i) {
            const QChar c = address.at(i);
            if (c == u'/' || c == u'?' || c == u'#') {
                pathStart = i;
                break;
            }
        }
    } else {
        pathStart = 0;
    }
    QByteArray url;
    const QString authority = address.left(pathStart);
    if (isAscii(authority)) {
        url = authority.toLatin1();
    } else {
        const qsizetype hostStart = schemeEnd + 3;
        url = authority.left(hostStart).toLatin1();
        QString host = authority.mid(hostStart);
        const qsizetype at = host.lastIndexOf(u'@');
        if (at >= 0) {
            url.append(encodePrefix(host.left(at + 1), charset));
            host = host.mid(at + 1);
        }
        const QByteArray ace = QUrl::toAce(host);
        url.append(ace.isEmpty() ? encodePrefix(host, charset) : ace);
    }
    const QByteArray queryBytes = percentEncode(Charset::encode(query, charset));
    const QString rest = address.mid(pathStart);
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = rest.indexOf(QLatin1String("%s"), from);
        url.append(encodePrefix(rest.mid(from, at < 0 ? -1 : at - from), charset));
        if (at < 0)
            break;
        url.append(queryBytes);
        from = at + 2;
    }
    return url;
}

} // namespace UrlComposer
