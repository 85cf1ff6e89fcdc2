#include "EnginesFile.h"

#include "Charset.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QScopeGuard>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// 1,000 engines of the longest kind on each page fit with room to spare.
constexpr qsizetype MaxFileSize = 16 * 1024 * 1024;

const QString& pageName(SearchCategory category)
{
    return EngineCatalogue::categories().at(int(category)).pageName;
}

std::optional<SearchCategory> categoryNamed(const QString& name)
{
    for (const CategoryPage& page : EngineCatalogue::categories()) {
        if (page.pageName == name)
            return page.category;
    }
    return std::nullopt;
}

QString pageList()
{
    return QStringLiteral("ts1（综合）、ts2（娱乐）、ts3（软件）、ts4（其它）");
}

// An [engine] group as it is read, with the line of each key for the messages.
struct EngineGroup
{
    int line = 0;
    std::optional<SearchCategory> page;
    UserEngine engine;
    int nameLine = 0, addressLine = 0, charsetLine = 0;
    QSet<QString> keys;
};

class Parser final
{
public:
    std::optional<EnginesFile::Problem> run(QByteArrayView text, EngineSetup& setup)
    {
        if (text.size() >= 3 && text.first(3) == QByteArrayView("\xEF\xBB\xBF"))
            text = text.sliced(3);
        qsizetype pos = 0;
        int number = 0;
        while (pos < text.size()) {
            qsizetype end = text.indexOf('\n', pos);
            if (end < 0)
                end = text.size();
            QByteArrayView raw = text.sliced(pos, end - pos);
            pos = end + 1;
            ++number;
            if (raw.endsWith('\r'))
                raw.chop(1);
            if (raw.contains('\0'))
                return fail(number, QStringLiteral("含有空字节，不是文本。"));
            QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            const QString line = QString(decoder(raw)).trimmed();
            if (decoder.hasError())
                return fail(number, QStringLiteral("不是 UTF-8 文本。"));
            if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';'))
                continue;
            if (!readLine(line, number))
                return m_problem;
        }
        if (!closeGroup())
            return m_problem;
        setup = m_setup;
        return std::nullopt;
    }

private:
    bool readLine(const QString& line, int number)
    {
        if (line.startsWith(u'[')) {
            if (!line.endsWith(u']'))
                return failed(number, QStringLiteral("组名缺少“]”。"));
            if (!closeGroup())
                return false;
            const QString group = line.mid(1, line.size() - 2).trimmed();
            if (group == QLatin1String("engine")) {
                m_engine = EngineGroup{};
                m_engine->line = number;
                m_page.reset();
                return true;
            }
            const std::optional<SearchCategory> page = categoryNamed(group);
            if (!page)
                return failed(number,
                              QStringLiteral("不认识的组“[%1]”：应为 [engine] 或页面 %2。").arg(group, pageList()));
            if (m_pagesSeen.contains(int(*page)))
                return failed(number, QStringLiteral("组“[%1]”出现了第二次。").arg(group));
            m_pagesSeen.insert(int(*page));
            m_page = page;
            m_pageKeys.clear();
            return true;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            return failed(number, QStringLiteral("应为“键 = 值”或“[组名]”。"));
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (m_page)
            return readPageKey(key, value, number);
        if (m_engine)
            return readEngineKey(key, value, number);
        return failed(number, QStringLiteral("“%1”之前缺少组名，如 [ts1] 或 [engine]。").arg(key));
    }

    bool readPageKey(const QString& key, const QString& value, int number)
    {
        if (key != QLatin1String("hidden") && key != QLatin1String("ticked"))
            return failed(number, QStringLiteral("页面组中不认识的键“%1”：应为 hidden 或 ticked。").arg(key));
        if (m_pageKeys.contains(key))
            return failed(number, QStringLiteral("键“%1”在这一组中出现了第二次。").arg(key));
        m_pageKeys.insert(key);
        static const QRegularExpression separators(QStringLiteral("[\\s,]+"));
        const QStringList names = value.split(separators, Qt::SkipEmptyParts);
        QSet<QString> listed;
        for (const QString& name : names) {
            const SearchEngine* row = EngineCatalogue::find(name);
            if (!row || row->category != *m_page)
                return failed(number, QStringLiteral("“%1”不是页面 %2 上的搜索引擎。").arg(name, pageName(*m_page)));
            listed.insert(name);
        }
        for (const SearchEngine& row : EngineCatalogue::engines()) {
            if (row.category != *m_page)
                continue;
            if (key == QLatin1String("hidden"))
                m_setup.setShown(row.checkBox, !listed.contains(row.checkBox));
            else
                m_setup.setCheckedAtStart(row, listed.contains(row.checkBox));
        }
        return true;
    }

    bool readEngineKey(const QString& key, const QString& value, int number)
    {
        EngineGroup& group = *m_engine;
        if (group.keys.contains(key))
            return failed(number, QStringLiteral("键“%1”在这一组中出现了第二次。").arg(key));
        group.keys.insert(key);
        if (key == QLatin1String("page")) {
            group.page = categoryNamed(value);
            if (!group.page)
                return failed(number, QStringLiteral("页面“%1”不存在：应为 %2。").arg(value, pageList()));
        } else if (key == QLatin1String("name")) {
            group.engine.name = value;
            group.nameLine = number;
        } else if (key == QLatin1String("address")) {
            group.engine.address = value;
            group.addressLine = number;
        } else if (key == QLatin1String("charset")) {
            group.engine.charset = value;
            group.charsetLine = number;
        } else if (key == QLatin1String("ticked") || key == QLatin1String("shown")) {
            if (value != QLatin1String("yes") && value != QLatin1String("no"))
                return failed(number, QStringLiteral("%1 的值应为 yes 或 no，而不是“%2”。").arg(key, value));
            (key == QLatin1String("ticked") ? group.engine.checkedAtStart : group.engine.shown) =
                value == QLatin1String("yes");
        } else {
            return failed(number, QStringLiteral("[engine] 组中不认识的键“%1”：应为 page、name、address、charset、"
                                                 "ticked 或 shown。")
                                      .arg(key));
        }
        return true;
    }

    bool closeGroup()
    {
        if (!m_engine)
            return true;
        const EngineGroup group = *std::exchange(m_engine, std::nullopt);
        if (!group.page)
            return failed(group.line, QStringLiteral("这个 [engine] 组缺少“page = ”，应为 %1。").arg(pageList()));
        if (const std::optional<EngineProblem> problem = UserEngineCheck::problemOf(group.engine)) {
            int line = group.line;
            switch (problem->field) {
            case EngineProblem::Field::Name:
                line = group.nameLine ? group.nameLine : group.line;
                break;
            case EngineProblem::Field::Address:
                line = group.addressLine ? group.addressLine : group.line;
                break;
            case EngineProblem::Field::Charset:
                line = group.charsetLine ? group.charsetLine : group.line;
                break;
            }
            return failed(line, problem->message);
        }
        m_setup.userEngines(*group.page).append(group.engine);
        return true;
    }

    std::optional<EnginesFile::Problem> fail(int line, const QString& reason)
    {
        failed(line, reason);
        return m_problem;
    }
    bool failed(int line, const QString& reason)
    {
        m_problem = EnginesFile::Problem{line, reason};
        return false;
    }

    EngineSetup m_setup;
    std::optional<SearchCategory> m_page;
    QSet<QString> m_pageKeys;
    QSet<int> m_pagesSeen;
    std::optional<EngineGroup> m_engine;
    std::optional<EnginesFile::Problem> m_problem;
};

// The file's bytes, or why they cannot be had. O_NONBLOCK: a named pipe in its place is not
// waited on.
std::optional<QByteArray> readFile(const QString& path, bool& missing, QString& reason)
{
    missing = false;
    const QByteArray encoded = QFile::encodeName(path);
    const int fd = ::open(encoded.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        missing = errno == ENOENT;
        reason = QStringLiteral("无法读取（%1）。").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return std::nullopt;
    }
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        reason = QStringLiteral("不是普通文件。");
        return std::nullopt;
    }
    if (status.st_size > MaxFileSize) {
        reason = QStringLiteral("文件太大（超过 16 MiB）。");
        return std::nullopt;
    }
    QByteArray contents;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            reason = QStringLiteral("无法读取（%1）。").arg(QString::fromLocal8Bit(std::strerror(errno)));
            return std::nullopt;
        }
        if (n == 0)
            break;
        contents.append(buffer, n);
        if (contents.size() > MaxFileSize) {
            reason = QStringLiteral("文件太大（超过 16 MiB）。");
            return std::nullopt;
        }
    }
    return contents;
}

QString freeKeptPath(const QString& path)
{
    QString candidate = path + QStringLiteral(".broken");
    for (int n = 2; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); ++n)
        candidate = path + QStringLiteral(".broken-%1").arg(n);
    return candidate;
}

} // namespace

EnginesFile::EnginesFile(QString path) : m_path(std::move(path)) {}

std::optional<EnginesFile::Problem> EnginesFile::parse(QByteArrayView text, EngineSetup& setup)
{
    return Parser().run(text, setup);
}

QByteArray EnginesFile::write(const EngineSetup& setup)
{
    QString text =
        QStringLiteral("# QUELM搜索寻踪客的搜索引擎：每页显示和启动时勾选哪些内置搜索引擎，以及自己添加的搜索引擎。\n"
                       "# 程序启动时读取本文件，在“搜索引擎管理”中保存时整个重写；格式见 man quelm。\n");
    for (const CategoryPage& page : EngineCatalogue::categories()) {
        QStringList hidden, ticked;
        for (const SearchEngine& row : EngineCatalogue::engines()) {
            if (row.category != page.category)
                continue;
            if (!setup.isShown(row.checkBox))
                hidden.append(row.checkBox);
            if (setup.isCheckedAtStart(row))
                ticked.append(row.checkBox);
        }
        text += QStringLiteral("\n[%1]\nhidden = %2\nticked = %3\n")
                    .arg(page.pageName, hidden.join(u' '), ticked.join(u' '));
    }
    for (const CategoryPage& page : EngineCatalogue::categories()) {
        for (const UserEngine& engine : setup.userEngines(page.category)) {
            text += QStringLiteral("\n[engine]\npage = %1\nname = %2\naddress = %3\ncharset = %4\nticked = %5\n")
                        .arg(page.pageName, engine.name.trimmed(), engine.address.trimmed(), engine.charset,
                             engine.checkedAtStart ? QStringLiteral("yes") : QStringLiteral("no"));
            // Only when hidden, so that a file of engines all shown reads as before.
            if (!engine.shown)
                text += QStringLiteral("shown = no\n");
        }
    }
    return text.toUtf8();
}

EngineSetup EnginesFile::load()
{
    m_message.clear();
    m_keptPath.clear();
    bool missing = false;
    QString reason;
    std::optional<QByteArray> contents = readFile(m_path, missing, reason);
    if (missing)
        return EngineSetup();
    std::optional<Problem> problem;
    EngineSetup setup;
    if (!contents)
        problem = Problem{0, reason};
    else
        problem = parse(*contents, setup);
    if (!problem)
        return setup;
    m_keptPath = freeKeptPath(m_path);
    const QString where = problem->line > 0
                              ? QStringLiteral("搜索引擎文件 %1 第 %2 行有误：").arg(m_path).arg(problem->line)
                              : QStringLiteral("搜索引擎文件 %1 无法使用：").arg(m_path);
    m_message = where + problem->reason +
                QStringLiteral("\n\n若在“搜索引擎管理”中保存，这个文件会先被改名保留为 %1 。"
                               "这次启动只用内置的搜索引擎；文件保持原样，改正后重新启动程序即可生效。")
                    .arg(m_keptPath);
    return EngineSetup();
}

QString EnginesFile::save(const EngineSetup& setup)
{
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder))
        return QStringLiteral("无法创建文件夹 %1，搜索引擎没有保存。").arg(folder);
    if (!m_keptPath.isEmpty()) {
        // Another save may have taken the name meanwhile: never write over a kept file.
        if (QFileInfo::exists(m_keptPath) || QFileInfo(m_keptPath).isSymLink())
            m_keptPath = freeKeptPath(m_path);
        if (::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(m_keptPath).constData()) != 0 &&
            errno != ENOENT) {
            return QStringLiteral("无法把有误的搜索引擎文件 %1 改名为 %2（%3），搜索引擎没有保存。")
                .arg(m_path, m_keptPath, QString::fromLocal8Bit(std::strerror(errno)));
        }
        m_keptPath.clear();
        m_message.clear();
    }
    const QByteArray contents = write(setup);
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() || !file.commit())
        return QStringLiteral("无法写入搜索引擎文件 %1（%2），搜索引擎没有保存。").arg(m_path, file.errorString());
    return QString();
}
