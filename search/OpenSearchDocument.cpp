#include "OpenSearchDocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

struct UrlElement
{
    QString type, method, templ;
    QList<std::pair<QString, QString>> params; // Mozilla's <Param name value/>
};

// Values for the template parameters the OpenSearch format gives defaults for.
QString defaultFor(const QString& parameter, const QString& charset)
{
    if (parameter == QLatin1String("searchTerms"))
        return QStringLiteral("%s");
    if (parameter == QLatin1String("inputEncoding"))
        return charset;
    if (parameter == QLatin1String("outputEncoding"))
        return QStringLiteral("UTF-8");
    if (parameter == QLatin1String("count"))
        return QStringLiteral("20");
    if (parameter == QLatin1String("startIndex") || parameter == QLatin1String("startPage"))
        return QStringLiteral("1");
    if (parameter == QLatin1String("language"))
        return QStringLiteral("*");
    return QString();
}

// The template with its parameters filled in; a "name={x?}" pair of the query is left out whole.
QString fillIn(const QString& templ, const QString& charset)
{
    QString result;
    qsizetype i = 0;
    while (i < templ.size()) {
        const QChar c = templ.at(i);
        if (c != u'{') {
            result += c;
            ++i;
            continue;
        }
        // A "{" without its own "}" (another "{" comes first) is text.
        const qsizetype close = templ.indexOf(u'}', i);
        const qsizetype reopen = templ.indexOf(u'{', i + 1);
        if (close < 0 || (reopen >= 0 && reopen < close)) {
            result += c;
            ++i;
            continue;
        }
        QString parameter = templ.mid(i + 1, close - i - 1);
        i = close + 1;
        if (parameter.endsWith(u'?')) {
            // Drop "&name=" before it when it is the pair's whole value.
            const qsizetype pairStart = std::max(result.lastIndexOf(u'&'), result.lastIndexOf(u'?'));
            const bool wholeValue = pairStart >= 0 && result.endsWith(u'=') &&
                                    result.indexOf(u'=', pairStart) == result.size() - 1 &&
                                    (i == templ.size() || templ.at(i) == u'&' || templ.at(i) == u'#');
            if (wholeValue) {
                result.truncate(result.at(pairStart) == u'?' ? pairStart + 1 : pairStart);
                if (result.endsWith(u'?') && i < templ.size() && templ.at(i) == u'&')
                    ++i;
            }
            continue;
        }
        const qsizetype colon = parameter.indexOf(u':');
        result += defaultFor(colon < 0 ? parameter : QString(), charset);
    }
    if (result.endsWith(u'?') || result.endsWith(u'&'))
        result.chop(1);
    return result;
}

bool isHtml(const QString& type)
{
    return type.section(u';', 0, 0).trimmed().compare(QLatin1String("text/html"), Qt::CaseInsensitive) == 0;
}

OpenSearchDocument::Read failure(const QString& reason)
{
    return OpenSearchDocument::Read{std::nullopt, reason};
}

} // namespace

namespace OpenSearchDocument {

Read parse(const QByteArray& document)
{
    if (document.size() > MaxSize)
        return failure(QStringLiteral("文件超过 1 MiB，不像搜索引擎描述文档。"));
    QXmlStreamReader xml(document);
    QString shortName, longName, charset;
    QList<UrlElement> urls;
    bool root = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QStringView name = xml.name();
        if (!root) {
            root = true;
            if (name != QLatin1String("OpenSearchDescription") && name != QLatin1String("SearchPlugin"))
                return failure(QStringLiteral("这不是 OpenSearch 搜索引擎描述文档（根元素是“%1”）。").arg(name));
            continue;
        }
        if (name == QLatin1String("ShortName")) {
            shortName = xml.readElementText(QXmlStreamReader::IncludeChildElements).simplified();
        } else if (name == QLatin1String("LongName")) {
            longName = xml.readElementText(QXmlStreamReader::IncludeChildElements).simplified();
        } else if (name == QLatin1String("InputEncoding")) {
            const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
            if (charset.isEmpty())
                charset = text;
        } else if (name == QLatin1String("Url")) {
            const QXmlStreamAttributes attributes = xml.attributes();
            urls.append(UrlElement{attributes.value(QLatin1String("type")).toString(),
                                   attributes.value(QLatin1String("method")).toString(),
                                   attributes.value(QLatin1String("template")).toString(),
                                   {}});
        } else if (name == QLatin1String("Param") && !urls.isEmpty()) {
            const QXmlStreamAttributes attributes = xml.attributes();
            urls.last().params.append({attributes.value(QLatin1String("name")).toString(),
                                       attributes.value(QLatin1String("value")).toString()});
        }
    }
    if (xml.hasError()) {
        return failure(
            QStringLiteral("不是完好的 XML 文档（第 %1 行：%2）。").arg(xml.lineNumber()).arg(xml.errorString()));
    }
    if (!root)
        return failure(QStringLiteral("文件是空的，不是 XML 文档。"));
    if (charset.isEmpty())
        charset = QStringLiteral("UTF-8");

    bool html = false;
    for (const UrlElement& url : std::as_const(urls)) {
        if (!isHtml(url.type))
            continue;
        html = true;
        if (!url.method.isEmpty() && url.method.compare(QLatin1String("get"), Qt::CaseInsensitive) != 0) {
            continue;
        }
        QString templ = url.templ.trimmed();
        for (const auto& [param, value] : url.params) {
            templ += templ.contains(u'?') ? u'&' : u'?';
            templ += param + u'=' + value;
        }
        if (!templ.contains(QLatin1String("{searchTerms}")))
            return failure(QStringLiteral("text/html 的 Url 中没有 {searchTerms}：不知道搜索词该放在网址的哪里。"));
        UserEngine engine;
        engine.name = shortName.isEmpty() ? longName : shortName;
        engine.charset = charset;
        engine.address = fillIn(templ, charset);
        if (!engine.address.contains(QLatin1String("%s")))
            return failure(QStringLiteral("text/html 的 Url 中没有 {searchTerms}：不知道搜索词该放在网址的哪里。"));
        return Read{engine, QString()};
    }
    if (html)
        return failure(QStringLiteral("这个搜索引擎要求用 POST 提交搜索词，本程序只能用网址（GET）打开结果页。"));
    return failure(QStringLiteral("文档中没有 type=\"text/html\" 的 Url，没有可以打开的结果页。"));
}

Read readFile(const QString& path)
{
    Read read;
    QFile file(path);
    if (!QFileInfo(path).isFile()) {
        read = failure(QStringLiteral("不是普通文件。"));
    } else if (file.size() > MaxSize) {
        read = failure(QStringLiteral("文件超过 1 MiB，不像搜索引擎描述文档。"));
    } else if (!file.open(QIODevice::ReadOnly)) {
        read = failure(QStringLiteral("无法读取（%1）。").arg(file.errorString()));
    } else {
        read = parse(file.read(MaxSize + 1));
    }
    if (!read.engine) {
        read.error = QStringLiteral("无法导入 %1：%2").arg(QDir::toNativeSeparators(path), read.error);
    }
    return read;
}

QByteArray write(const UserEngine& engine)
{
    QString templ = engine.address;
    templ.replace(QLatin1String("%s"), QLatin1String("{searchTerms}"));
    QByteArray document;
    QXmlStreamWriter xml(&document);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(QStringLiteral("http://a9.com/-/spec/opensearch/1.1/"));
    xml.writeStartElement(QStringLiteral("OpenSearchDescription"));
    xml.writeTextElement(QStringLiteral("ShortName"), engine.name);
    xml.writeTextElement(QStringLiteral("Description"), engine.name);
    xml.writeTextElement(QStringLiteral("InputEncoding"), engine.charset);
    xml.writeStartElement(QStringLiteral("Url"));
    xml.writeAttribute(QStringLiteral("type"), QStringLiteral("text/html"));
    xml.writeAttribute(QStringLiteral("method"), QStringLiteral("get"));
    xml.writeAttribute(QStringLiteral("template"), templ);
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return document;
}

} // namespace OpenSearchDocument
