#include "IniRegistryBackend.h"

#include "ConfigHome.h"
#include "IniReader.h"
#include "QuelmError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QScopeGuard>
#include <QSettings>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QVariantMap>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr qsizetype MaxFileSize = 1024 * 1024;
// A save takes milliseconds; a holder stuck for this long is not waited for.
constexpr std::chrono::milliseconds SaveLockBound{3000};

// UTF-8 without NUL bytes, as QSettings writes it.
bool isText(const QByteArray& contents)
{
    if (contents.contains('\0'))
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder(contents);
    return !decoder.hasError();
}

// The settings file's bytes; nothing for a file that must not be opened (missing set when there
// is none). Plain system calls: every search reads this file, and Qt's file classes cost several
// times as much. O_NONBLOCK, so that a named pipe in its place is turned away, not waited on.
// A read that returns less than asked is taken as the end of the file, as it is for a regular
// one, unless toTheEnd asks to read on until the end is reported.
std::optional<QByteArray> readSettingsFile(const QByteArray& path, bool& missing, bool toTheEnd = false)
{
    missing = false;
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        missing = errno == ENOENT;
        return std::nullopt;
    }
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size >= MaxFileSize)
        return std::nullopt;
    // One byte more than its size, so that a file that grew meanwhile is read whole.
    QByteArray contents(qsizetype(status.st_size) + 1, Qt::Uninitialized);
    qsizetype length = 0;
    for (;;) {
        const ssize_t n = ::read(fd, contents.data() + length, size_t(contents.size() - length));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        length += n;
        if (length >= MaxFileSize)
            return std::nullopt;
        if (length == contents.size())
            contents.resize(std::min(2 * length, MaxFileSize));
        else if (!toTheEnd)
            break;
    }
    contents.truncate(length);
    return contents;
}

// Saves take turns under a lock on the settings folder: the system lets go of it however its
// holder ends, and it leaves no file behind. A file system without such locks (some network
// mounts) saves as before, without.
class SaveLock final
{
public:
    explicit SaveLock(const QString& folder)
        : m_fd(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
    }
    ~SaveLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Q_DISABLE_COPY_MOVE(SaveLock)

    // False only when another save holds it past the bound.
    bool take()
    {
        const auto deadline = std::chrono::steady_clock::now() + SaveLockBound;
        while (m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR)
                return true;
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

private:
    int m_fd;
};

// Under the lock no other save is under way: what earlier versions' scratch copies (and the
// lock files QSettings made beside them), scratch folders and a save file's temporary left when
// the program was killed is litter.
void removeLitter(const QString& folder)
{
    static const QRegularExpression litter(QStringLiteral(
        "^(quelm_search-[A-Za-z0-9]{6}\\.(ini|ini\\.lock|scratch)|quelm_search\\.ini\\.[A-Za-z0-9]{6})$"));
    const QDir dir(folder);
    for (const QFileInfo& entry : dir.entryInfoList({QStringLiteral("quelm_search*")},
                                                    QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System)) {
        if (!litter.match(entry.fileName()).hasMatch())
            continue;
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.filePath()).removeRecursively();
        else
            QFile::remove(entry.filePath());
    }
}

// A scratch copy of the settings, under a name QSettings has not seen: it caches every file it
// has read by name, and would not read a file of the same name and size again.
std::unique_ptr<QTemporaryFile> scratchCopy(const QString& folder, const QByteArray& contents)
{
    auto copy = std::make_unique<QTemporaryFile>(folder + QStringLiteral("/quelm_search-XXXXXX.ini"));
    if (!copy->open() || copy->write(contents) != contents.size() || !copy->flush())
        return nullptr;
    return copy;
}

// Every entry as QSettings reads it; nothing when it reports an error.
std::optional<QVariantMap> entriesOf(QSettings& settings)
{
    QVariantMap entries;
    for (const QString& key : settings.allKeys())
        entries.insert(key, settings.value(key));
    if (settings.status() != QSettings::NoError)
        return std::nullopt;
    return entries;
}

// The file as QSettings writes it with the value set; nothing when that would lose anything.
// QSettings writes a few odd files (escapes and control characters in section names, escapes that
// stand for half a surrogate pair) back in a form that it cannot read itself or that reads
// differently, so the result must read back with the new value and every other entry as it was.
std::optional<QByteArray> rewritten(const QString& settingsFolder, const QByteArray& contents, const QString& valueName,
                                    const QString& data)
{
    // Out of the settings folder, so that a program killed meanwhile leaves nothing there; only
    // where no temporary folder can be made, beside the settings, as litter for the next save.
    std::optional<QTemporaryDir> scratch;
    scratch.emplace();
    if (!scratch->isValid())
        scratch.emplace(settingsFolder + QStringLiteral("/quelm_search-XXXXXX.scratch"));
    if (!scratch->isValid())
        return std::nullopt;
    const QString folder = scratch->path();
    const std::unique_ptr<QTemporaryFile> trial = scratchCopy(folder, contents);
    if (!trial)
        return std::nullopt;
    std::optional<QVariantMap> before;
    {
        QSettings settings(trial->fileName(), QSettings::IniFormat);
        before = entriesOf(settings);
        if (!before)
            return std::nullopt;
        settings.setValue(valueName, data);
        settings.sync();
        if (settings.status() != QSettings::NoError)
            return std::nullopt;
    }
    QFile written(trial->fileName());
    if (!written.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray result = written.readAll();
    const std::unique_ptr<QTemporaryFile> reread = scratchCopy(folder, result);
    if (!reread)
        return std::nullopt;
    QSettings check(reread->fileName(), QSettings::IniFormat);
    std::optional<QVariantMap> after = entriesOf(check);
    if (!after || after->take(valueName) != QVariant(data))
        return std::nullopt;
    before->remove(valueName);
    for (auto it = before->cbegin(); it != before->cend(); ++it) {
        if (it.value().isValid() && after->value(it.key()) != it.value())
            return std::nullopt;
    }
    return result;
}

class IniKey final : public RegistryKey
{
public:
    // contents: the file's bytes, empty when there is no file yet.
    IniKey(QString folder, QString filePath, QByteArray contents)
        : m_folder(std::move(folder)), m_filePath(std::move(filePath)), m_contents(std::move(contents)),
          m_reader(m_contents)
    {
    }
    Q_DISABLE_COPY_MOVE(IniKey)

    QString readString(const QString& valueName) override
    {
        const IniReader::Value value = m_reader.generalValue(valueName);
        // Lists, @ByteArray and @Variant entries are other types to QSettings.
        if (value.kind == IniReader::Kind::OtherType)
            throw SettingsFailure::invalidDataType(valueName);
        return value.text;
    }

    void writeString(const QString& valueName, const QString& data) override
    {
        SaveLock lock(m_folder);
        if (!lock.take())
            throw SettingsFailure::failedToSetData(valueName);
        removeLitter(m_folder);
        // The file as it is now, to the last byte: another program may have saved meanwhile.
        bool missing = false;
        const std::optional<QByteArray> current = readSettingsFile(QFile::encodeName(m_filePath), missing, true);
        if (current ? !isText(*current) : !missing)
            throw SettingsFailure::failedToSetData(valueName);
        const std::optional<QByteArray> contents =
            rewritten(m_folder, current.value_or(QByteArray()), valueName, data);
        if (!contents)
            throw SettingsFailure::failedToSetData(valueName);
        // Replaces the file in one step; through a link, the linked file.
        QSaveFile file(m_filePath);
        if (!file.open(QIODevice::WriteOnly) || file.write(*contents) != contents->size() || !file.commit())
            throw SettingsFailure::failedToSetData(valueName);
    }

    bool isValid() const { return m_reader.isValid(); }

private:
    QString m_folder;
    QString m_filePath;
    QByteArray m_contents;
    IniReader m_reader;
};

} // namespace

IniRegistryBackend::IniRegistryBackend(QString folder)
    : m_folder(std::move(folder)), m_filePath(m_folder + QStringLiteral("/quelm_search.ini")),
      m_encodedPath(QFile::encodeName(m_filePath))
{
}

QString IniRegistryBackend::defaultFolder()
{
    return ConfigHome() + QStringLiteral("/quelm_search");
}

QString IniRegistryBackend::filePath() const
{
    return m_filePath;
}

std::unique_ptr<RegistryKey> IniRegistryBackend::openKey()
{
    bool missing = false;
    std::optional<QByteArray> contents = readSettingsFile(m_encodedPath, missing);
    if (missing) {
        // The key is created on open: the folder, not the file.
        if (!QDir().mkpath(m_folder))
            return nullptr;
        return std::make_unique<IniKey>(m_folder, m_filePath, QByteArray());
    }
    // A file that does not parse is not opened, so nothing writes over what it holds. Nor is
    // one that is not text: QSettings would read its bytes as something else and write that.
    // Two short values live here; a file of a megabyte or more is not one this program wrote, and
    // reading it at every search would stall each one.
    if (!contents || !isText(*contents))
        return nullptr;
    auto key = std::make_unique<IniKey>(m_folder, m_filePath, std::move(*contents));
    if (!key->isValid())
        return nullptr;
    return key;
}
