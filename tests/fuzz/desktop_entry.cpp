// The autostart entry. Byte 0 chooses:
//  - 0 mod 3: the rest is an entry file as any program may have left it. Reading never fails
//    hard, and switching the entry off keeps every other line byte for byte.
//  - 1 mod 3 (UTF-16) and 2 mod 3 (UTF-8): the rest is a program path. What the store writes
//    reads back as exactly that path, or the write is refused with the store's message.

#include "FuzzSupport.h"

#include "AutostartRegistryBackend.h"
#include "DesktopEntry.h"
#include "QuelmError.h"

#include <QByteArrayList>
#include <QFile>
#include <QTemporaryDir>

namespace {

const QString HiddenKey = QStringLiteral("Hidden");
const QString EnabledKey = QStringLiteral("X-GNOME-Autostart-enabled");

bool setsOneOfTheKeys(const QByteArray& line)
{
    const qsizetype equals = line.indexOf('=');
    if (equals < 0)
        return false;
    const QByteArray key = line.left(equals).trimmed();
    return key == HiddenKey.toLatin1() || key == EnabledKey.toLatin1();
}

QByteArrayList otherLines(const QByteArray& contents)
{
    QByteArrayList kept;
    for (const QByteArray& line : contents.split('\n')) {
        if (!setsOneOfTheKeys(line))
            kept.append(line);
    }
    return kept;
}

bool hasMainGroupHeader(const QByteArray& contents)
{
    for (const QByteArray& line : contents.split('\n')) {
        if (line.trimmed() == "[Desktop Entry]")
            return true;
    }
    return false;
}

void checkSwitchingOff(const QByteArray& contents)
{
    const auto before = DesktopEntry::readMainGroup(contents);
    if (before)
        DesktopEntry::splitExecValue(before->value(QStringLiteral("Exec")));

    const QByteArray after =
        DesktopEntry::withMainGroupKeys(contents, {{HiddenKey, QStringLiteral("true")}, {EnabledKey, QStringLiteral("false")}});
    QByteArrayList expected = otherLines(contents);
    QByteArrayList got = otherLines(after);
    if (!hasMainGroupHeader(contents)) {
        FUZZ_CHECK(!got.isEmpty() && got.first() == "[Desktop Entry]");
        got.removeFirst();
    }
    FUZZ_CHECK(got == expected);

    if (before) {
        const auto keys = DesktopEntry::readMainGroup(after);
        FUZZ_CHECK(keys.has_value());
        FUZZ_CHECK(keys->value(HiddenKey) == QStringLiteral("true"));
        FUZZ_CHECK(keys->value(EnabledKey) == QStringLiteral("false"));
        for (auto it = before->cbegin(); it != before->cend(); ++it) {
            if (it.key() != HiddenKey && it.key() != EnabledKey)
                FUZZ_CHECK(keys->value(it.key()) == it.value());
        }
    }
}

void checkPath(const QString& path)
{
    static QTemporaryDir dir;
    FUZZ_CHECK(dir.isValid());
    QFile::remove(dir.filePath(QStringLiteral("com.quelm.Search.desktop")));

    const std::optional<QString> exec = DesktopEntry::execValue({path});
    if (exec)
        FUZZ_CHECK(DesktopEntry::splitExecValue(*exec) == QStringList{path});

    AutostartRegistryBackend backend(dir.path());
    bool written = true;
    try {
        backend.openKey()->writeString(QStringLiteral("quelm_s"), path);
    } catch (const QuelmError& error) {
        FUZZ_CHECK(QString::fromUtf8(error.what()) == QStringLiteral("Failed to set data for 'quelm_s'"));
        written = false;
    }
    // Refused only when the entry cannot carry the path.
    FUZZ_CHECK(written == (path.isEmpty() || exec.has_value()));
    const QString read = backend.openKey()->readString(QStringLiteral("quelm_s"));
    FUZZ_CHECK(read == (written ? path : QString()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    switch (data[0] % 3) {
    case 0:
        checkSwitchingOff(QByteArray(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1)));
        break;
    case 1:
        checkPath(FuzzSupport::textFrom(data + 1, size - 1, true));
        break;
    default:
        checkPath(FuzzSupport::textFrom(data + 1, size - 1, false));
        break;
    }
    return 0;
}
