#include "Charset.h"

#include "QuelmError.h"

#include <QHash>

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <memory>

namespace {

iconv_t invalid()
{
    return reinterpret_cast<iconv_t>(-1);
}

bool isAscii(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

bool isPlainName(const QString& name)
{
    if (name.isEmpty() || name.size() > 40)
        return false;
    return std::all_of(name.cbegin(), name.cend(), [](QChar c) {
        return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-' ||
               c == u'_' || c == u'.' || c == u':';
    });
}

size_t sequenceLength(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

// One open descriptor per set and thread: opening one costs more than a whole search.
class Encoder final
{
public:
    explicit Encoder(const QByteArray& name) : m_cd(iconv_open(name.constData(), "UTF-8")) {}
    ~Encoder()
    {
        if (m_cd != invalid())
            iconv_close(m_cd);
    }
    Q_DISABLE_COPY_MOVE(Encoder)

    bool isOpen() const { return m_cd != invalid(); }

    QByteArray encode(const QByteArray& utf8)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        // No set we take needs more than four bytes for a character UTF-8 writes in one or more,
        // plus a few for a shift back to the initial state.
        QByteArray out(utf8.size() * 4 + 16, Qt::Uninitialized);
        char* in = const_cast<char*>(utf8.constData());
        size_t inLeft = size_t(utf8.size());
        char* outPtr = out.data();
        size_t outLeft = size_t(out.size());
        while (inLeft > 0) {
            if (iconv(m_cd, &in, &inLeft, &outPtr, &outLeft) != size_t(-1))
                break;
            if (errno != EILSEQ && errno != EINVAL)
                break;
            // A character the set has no bytes for: mark it and go on with the next one.
            const size_t skip = std::min(inLeft, sequenceLength(static_cast<unsigned char>(*in)));
            in += skip;
            inLeft -= skip;
            *outPtr++ = '?';
            --outLeft;
        }
        iconv(m_cd, nullptr, nullptr, &outPtr, &outLeft);
        out.truncate(outPtr - out.constData());
        return out;
    }

private:
    iconv_t m_cd;
};

// Null for a set iconv does not know or that does not keep ASCII.
Encoder* encoderFor(const QString& name)
{
    thread_local QHash<QString, std::shared_ptr<Encoder>> encoders;
    const auto found = encoders.constFind(name);
    if (found != encoders.cend())
        return found->get();
    std::shared_ptr<Encoder> encoder;
    if (isPlainName(name)) {
        encoder = std::make_shared<Encoder>(name.toLatin1());
        if (!encoder->isOpen())
            encoder.reset();
    }
    if (encoder) {
        QByteArray ascii;
        for (char c = 0x20; c < 0x7F; ++c)
            ascii.append(c);
        if (encoder->encode(ascii) != ascii)
            encoder.reset();
    }
    // Unknown names are remembered too, but only a few: the list is not the user's to fill.
    if (encoders.size() > 64)
        encoders.clear();
    encoders.insert(name, encoder);
    return encoder.get();
}

} // namespace

namespace Charset {

bool isKnown(const QString& name)
{
    return encoderFor(name) != nullptr;
}

QByteArray encode(const QString& text, const QString& name)
{
    if (isAscii(text))
        return text.toLatin1();
    Encoder* encoder = encoderFor(name);
    if (!encoder)
        throw QuelmError(QStringLiteral("无法把搜索词转换为%1编码：系统的iconv不认识这个字符集。").arg(name));
    return encoder->encode(text.toUtf8());
}

} // namespace Charset
