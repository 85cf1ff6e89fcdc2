#include "UrlComposer.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace {

// One conversion descriptor per thread: opening it costs more than a whole search.
class Gb18030Encoder final
{
public:
    Gb18030Encoder() : m_cd(iconv_open("GB18030", "UTF-8")) {}
    ~Gb18030Encoder()
    {
        if (m_cd != invalid())
            iconv_close(m_cd);
    }
    Q_DISABLE_COPY_MOVE(Gb18030Encoder)

    QByteArray encode(const QByteArray& utf8)
    {
        if (m_cd == invalid())
            throw std::runtime_error(QStringLiteral("无法把搜索词转换为GB18030编码：系统缺少iconv的GB18030转换模块。")
                                         .toStdString());
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);

        // GB18030 needs at most four bytes where UTF-8 needs at least one.
        QByteArray out(utf8.size() * 4 + 4, Qt::Uninitialized);
        char* in = const_cast<char*>(utf8.constData());
        size_t inLeft = size_t(utf8.size());
        char* outPtr = out.data();
        size_t outLeft = size_t(out.size());
        while (inLeft > 0) {
            if (iconv(m_cd, &in, &inLeft, &outPtr, &outLeft) != size_t(-1))
                break;
            if (errno != EILSEQ && errno != EINVAL)
                break; // E2BIG cannot happen with the size above
            // A code point iconv has no mapping for: mark it and go on with the next one.
            const size_t skip = std::min(inLeft, sequenceLength(static_cast<unsigned char>(*in)));
            in += skip;
            inLeft -= skip;
            *outPtr++ = '?';
            --outLeft;
        }
        out.truncate(outPtr - out.constData());
        return out;
    }

private:
    static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }
    static size_t sequenceLength(unsigned char lead)
    {
        if (lead >= 0xF0)
            return 4;
        if (lead >= 0xE0)
            return 3;
        if (lead >= 0xC0)
            return 2;
        return 1;
    }

    iconv_t m_cd;
};

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

QByteArray start(const QString& host, const QString& prefix, qsizetype extra)
{
    QByteArray url;
    url.reserve(7 + host.size() + prefix.size() * 3 + extra * 12);
    url.append("http://");
    url.append(host.toLatin1());
    url.append(UrlComposer::encodePrefix(prefix));
    return url;
}

} // namespace

namespace UrlComposer {

QByteArray toGb18030(const QString& text)
{
    if (isAscii(text))
        return text.toLatin1();
    thread_local Gb18030Encoder encoder;
    return encoder.encode(text.toUtf8());
}

QByteArray percentEncode(const QByteArray& bytes)
{
    QByteArray url;
    url.reserve(bytes.size() * 3);
    appendEncoded(url, bytes);
    return url;
}

QByteArray encodePrefix(const QString& prefix)
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
            appendEncoded(url, toGb18030(run));
        from = to;
    }
    return url;
}

QByteArray plainUrl(const QString& host, const QString& prefix, const QString& query)
{
    QByteArray url = start(host, prefix, query.size());
    appendEncoded(url, toGb18030(query));
    return url;
}

QByteArray typedUrl(const QString& host, const QString& prefix, const QString& selectorText, const QString& query)
{
    QByteArray url = start(host, prefix, selectorText.size() + query.size());
    appendEncoded(url, toGb18030(selectorText));
    url.append("&key=");
    appendEncoded(url, toGb18030(query));
    return url;
}

} // namespace UrlComposer
