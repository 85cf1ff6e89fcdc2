#include "IniRegistryBackend.h"

#include "ConfigHome.h"
#include "IniReader.h"
#include "SettingsError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStringDecoder>
#include <QTemporaryFile>
#include <QVariantMap>

#include <optional>

namespace {

constexpr qint64 MaxFileSize = 1024 * 1024;

// UTF-8 without NUL bytes, as QSettings writes it.
bool isText(const QByteArray& contents)
{
    if (contents.contains('\0'))
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder(contents);
    return !decoder.hasError();
}

// A scratch copy of the settings beside them, under a name QSettings has not seen: it caches every
// file it has read by name, and would not read a file of the same name and size again.
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
std::optional<QByteArray> rewritten(const QString& folder, const QByteArray& contents, const QString& valueName,
                                    const QString& data)
{
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
            throw SettingsError::invalidDataType(valueName);
        return value.text;
    }

    void writeString(const QString& valueName, const QString& data) override
    {
        const std::optional<QByteArray> contents = rewritten(m_folder, m_contents, valueName, data);
        if (!contents)
            throw SettingsError::failedToSetData(valueName);
        // Replaces the file in one step; through a link, the linked file.
        QSaveFile file(m_filePath);
        if (!file.open(QIODevice::WriteOnly) || file.write(*contents) != contents->size() || !file.commit())
            throw SettingsError::failedToSetData(valueName);
    }

    bool isValid() const { return m_reader.isValid(); }

private:
    QString m_folder;
    QString m_filePath;
    QByteArray m_contents;
    IniReader m_reader;
};

} // namespace

IniRegistryBackend::IniRegistryBackend(QString folder) : m_folder(std::move(folder)) {}

QString IniRegistryBackend::defaultFolder()
{
    return ConfigHome() + QStringLiteral("/quelm_search");
}

QString IniRegistryBackend::filePath() const
{
    return m_folder + QStringLiteral("/quelm_search.ini");
}

std::unique_ptr<RegistryKey> IniRegistryBackend::openKey()
{
    if (!QDir().mkpath(m_folder))
        return nullptr;
    const QString path = filePath();
    const QFileInfo info(path);
    if (!info.exists())
        return std::make_unique<IniKey>(m_folder, path, QByteArray());
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return nullptr;
    // A file that does not parse is not opened, so nothing writes over what it holds. Nor is
    // one that is not text: QSettings would read its bytes as something else and write that.
    // Two short values live here; a file of a megabyte or more is not one this program wrote, and
    // reading it at every search would stall each one.
    if (info.size() >= MaxFileSize)
        return nullptr;
    QByteArray contents = file.read(MaxFileSize);
    if (contents.size() >= MaxFileSize || !isText(contents))
        return nullptr;
    auto key = std::make_unique<IniKey>(m_folder, path, std::move(contents));
    if (!key->isValid())
        return nullptr;
    return key;
}
