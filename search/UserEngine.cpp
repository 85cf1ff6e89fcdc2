#include "UserEngine.h"

#include "Charset.h"

#include <algorithm>

namespace {

bool hasControlCharacter(const QString& text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.category() == QChar::Other_Control; });
}

} // namespace

SearchEngine UserEngine::searchEngine(SearchCategory category) const
{
    SearchEngine engine{category,
                        QString(),
                        name,
                        checkedAtStart,
                        QString(),
                        UrlForm::Address,
                        address,
                        QString(),
                        {},
                        QStringLiteral("正在连接%1...").arg(name),
                        OpeningRule::Standard,
                        {0, 0, 0, 0},
                        charset};
    return engine;
}

namespace UserEngineCheck {

std::optional<EngineProblem> problemOf(const UserEngine& engine)
{
    using F = EngineProblem::Field;
    const QString name = engine.name.trimmed();
    if (name.isEmpty())
        return EngineProblem{F::Name, QStringLiteral("请填写名称：它是搜索引擎在页面上的标签。")};
    if (engine.name.size() > MaxLength)
        return EngineProblem{
            F::Name, QStringLiteral("名称太长：最多 %1 个字符，现在有 %2 个。").arg(MaxLength).arg(engine.name.size())};
    if (hasControlCharacter(engine.name))
        return EngineProblem{F::Name, QStringLiteral("名称里有换行或其它控制字符，请删去。")};

    const QString address = engine.address;
    if (address.trimmed().isEmpty())
        return EngineProblem{
            F::Address, QStringLiteral("请填写网址，在搜索词的位置写上“%s”，例如 https://www.bing.com/search?q=%s 。")};
    if (address.size() > MaxLength)
        return EngineProblem{
            F::Address, QStringLiteral("网址太长：最多 %1 个字符，现在有 %2 个。").arg(MaxLength).arg(address.size())};
    if (hasControlCharacter(address) || address.contains(u' '))
        return EngineProblem{F::Address, QStringLiteral("网址里不能有空格、换行或其它控制字符；空格请写成 %20 。")};
    const qsizetype schemeEnd = address.indexOf(QLatin1String("://"));
    const QString scheme = schemeEnd < 0 ? QString() : address.left(schemeEnd).toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return EngineProblem{
            F::Address, QStringLiteral("网址要以 http:// 或 https:// 开头，例如 https://www.bing.com/search?q=%s 。")};
    qsizetype hostEnd = schemeEnd + 3;
    while (hostEnd < address.size() && address.at(hostEnd) != u'/' && address.at(hostEnd) != u'?' &&
           address.at(hostEnd) != u'#')
        ++hostEnd;
    if (hostEnd == schemeEnd + 3)
        return EngineProblem{F::Address,
                             QStringLiteral("网址在 %1:// 之后缺少主机名，例如 www.bing.com 。").arg(scheme)};
    if (!address.mid(hostEnd).contains(QLatin1String("%s")))
        return EngineProblem{F::Address, QStringLiteral("网址中缺少“%s”：在主机名之后、搜索词该在的位置写上 %s ，例如 "
                                                        "https://www.bing.com/search?q=%s 。")};

    if (!Charset::isKnown(engine.charset))
        return EngineProblem{F::Charset,
                             QStringLiteral("不认识编码“%1”：请选列表中的一种（UTF-8、GB18030、GBK、BIG5、Shift_JIS、"
                                            "EUC-KR），或写 iconv 认识的另一个字符集名称。")
                                 .arg(engine.charset)};
    return std::nullopt;
}

} // namespace UserEngineCheck
