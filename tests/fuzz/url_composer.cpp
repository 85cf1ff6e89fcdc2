// Any text as query and as selector text: every result-page address of the catalogue is plain
// printable ASCII, starts with its engine's fixed part, and its percent-encoded parts decode to
// the GB18030 bytes of the texts, character by character ("?" for what has no encoding: an
// unpaired surrogate half).
//
// Input: byte 0 picks UTF-16 (odd) or UTF-8 (even), byte 1 is the selector text's length in
// characters, the rest is the text (selector text first, then the query).

#include "FuzzSupport.h"

#include "EngineCatalogue.h"
#include "UrlComposer.h"

#include <iconv.h>

#include <optional>

namespace {

// By hand: QString::fromUcs4 would take a U+FEFF for a byte order mark and drop it.
QByteArray utf8Of(char32_t cp)
{
    QByteArray out;
    if (cp < 0x80) {
        out.append(char(cp));
    } else if (cp < 0x800) {
        out.append(char(0xC0 | (cp >> 6)));
        out.append(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.append(char(0xE0 | (cp >> 12)));
        out.append(char(0x80 | ((cp >> 6) & 0x3F)));
        out.append(char(0x80 | (cp & 0x3F)));
    } else {
        out.append(char(0xF0 | (cp >> 18)));
        out.append(char(0x80 | ((cp >> 12) & 0x3F)));
        out.append(char(0x80 | ((cp >> 6) & 0x3F)));
        out.append(char(0x80 | (cp & 0x3F)));
    }
    return out;
}

// GB18030 of one code point through a descriptor of its own, independent of the composer's
// buffer handling; "?" when iconv has no mapping.
QByteArray gb18030Of(char32_t cp)
{
    static const iconv_t cd = iconv_open("GB18030", "UTF-8");
    FUZZ_CHECK(cd != reinterpret_cast<iconv_t>(-1));
    QByteArray in = utf8Of(cp);
    char out[16];
    char* inPtr = in.data();
    size_t inLeft = size_t(in.size());
    char* outPtr = out;
    size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1) || inLeft != 0)
        return QByteArrayLiteral("?");
    return QByteArray(out, outPtr - out);
}

QByteArray expectedBytes(const QString& text)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() < 0x80) {
            bytes.append(char(c.unicode()));
        } else if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            bytes.append(gb18030Of(QChar::surrogateToUcs4(c, text.at(i + 1))));
            ++i;
        } else if (c.isSurrogate()) {
            bytes.append('?');
        } else {
            bytes.append(gb18030Of(c.unicode()));
        }
    }
    return bytes;
}

bool isUnreserved(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1; // the composer writes upper case only
}

// Nothing when the part holds a byte that should have been escaped or a broken escape.
std::optional<QByteArray> decodePart(const QByteArray& part)
{
    QByteArray out;
    for (qsizetype i = 0; i < part.size(); ++i) {
        const char c = part.at(i);
        if (isUnreserved(c)) {
            out.append(c);
            continue;
        }
        if (c != '%' || i + 2 >= part.size())
            return std::nullopt;
        const int high = hexValue(part.at(i + 1));
        const int low = hexValue(part.at(i + 2));
        if (high < 0 || low < 0)
            return std::nullopt;
        out.append(char(high << 4 | low));
        i += 2;
    }
    return out;
}

bool isPrintableAscii(const QByteArray& url)
{
    for (char c : url) {
        if (c < 0x21 || c > 0x7E)
            return false;
    }
    return true;
}

QByteArray fixedPart(const QString& host, const QString& prefix)
{
    return "http://" + host.toLatin1() + UrlComposer::encodePrefix(prefix);
}

void checkPlain(const QString& host, const QString& prefix, const QString& query, const QByteArray& queryBytes)
{
    const QByteArray url = UrlComposer::plainUrl(host, prefix, query);
    FUZZ_CHECK(isPrintableAscii(url));
    const QByteArray head = fixedPart(host, prefix);
    FUZZ_CHECK(url.startsWith(head));
    FUZZ_CHECK(decodePart(url.mid(head.size())) == queryBytes);
}

void checkTyped(const QString& host, const QString& prefix, const QString& selector, const QString& query,
                const QByteArray& selectorBytes, const QByteArray& queryBytes)
{
    const QByteArray url = UrlComposer::typedUrl(host, prefix, selector, query);
    FUZZ_CHECK(isPrintableAscii(url));
    const QByteArray head = fixedPart(host, prefix);
    FUZZ_CHECK(url.startsWith(head));
    const QByteArray rest = url.mid(head.size());
    // Encoded text never holds "&", so the first "&key=" is the separator.
    const qsizetype separator = rest.indexOf("&key=");
    FUZZ_CHECK(separator >= 0);
    FUZZ_CHECK(decodePart(rest.left(separator)) == selectorBytes);
    FUZZ_CHECK(decodePart(rest.mid(separator + 5)) == queryBytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const QString text = FuzzSupport::textFrom(data + 2, size - 2, data[0] & 1);
    const QString selector = text.left(data[1]);
    const QString query = text.mid(selector.size());
    const QByteArray selectorBytes = expectedBytes(selector);
    const QByteArray queryBytes = expectedBytes(query);

    FUZZ_CHECK(UrlComposer::toGb18030(query) == queryBytes);
    FUZZ_CHECK(decodePart(UrlComposer::percentEncode(queryBytes)) == queryBytes);

    for (const SearchEngine& engine : EngineCatalogue::engines()) {
        switch (engine.form) {
        case UrlForm::Plain:
            checkPlain(engine.host, engine.prefix, query, queryBytes);
            break;
        case UrlForm::Typed:
            checkTyped(engine.host, engine.prefix, selector, query, selectorBytes, queryBytes);
            break;
        case UrlForm::Choice:
            for (const UrlChoice& choice : engine.choices)
                checkPlain(engine.host, choice.prefix, query, queryBytes);
            break;
        case UrlForm::Address:
            break;
        }
    }
    // A user's address in any set the dialog offers stays ASCII, the query in its place.
    for (const char* charset : {"UTF-8", "GB18030", "GBK", "BIG5", "Shift_JIS", "EUC-KR"}) {
        const QByteArray url = UrlComposer::templateUrl(QStringLiteral("https://例.cn/%s?q=%s"), query,
                                                        QString::fromLatin1(charset));
        FUZZ_CHECK(isPrintableAscii(url));
        FUZZ_CHECK(url.startsWith("https://xn--fsq.cn/"));
    }
    return 0;
}
