#include "controls/TrayIcon.h"

#include "controls/SystemTrayBackend.h"

#include <QCursor>
#include <QMenu>

#include <iconv.h>

namespace {

constexpr int kTipBytes = 63;

// Bytes one character takes in GB18030 (the GBK characters take the same as in GBK).
int encodedLength(const QString& character)
{
    static iconv_t converter = iconv_open("GB18030", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return character.toUtf8().size();
    QByteArray in = character.toUtf8();
    char out[16];
    char* inPtr = in.data();
    size_t inLeft = size_t(in.size());
    char* outPtr = out;
    size_t outLeft = sizeof out;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    if (iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1))
        return 4;   // unencodable: counted as the widest form
    return int(sizeof out - outLeft);
}

} // namespace

TTrayIcon::TTrayIcon(QObject* owner, std::unique_ptr<TrayBackend> backend)
    : QObject(owner), m_backend(backend ? std::move(backend) : std::make_unique<SystemTrayBackend>())
{
    m_backend->onPress = [this](TrayBackend::Press press) { TrayWndProc(press); };
}

TTrayIcon::~TTrayIcon()
{
    if (m_iconVisible)
        NotifyShell(Command::Delete);
    m_backend->onPress = nullptr;
}

void TTrayIcon::SetHint(const QString& hint)
{
    if (hint != m_hint)
        m_hint = hint;
}

void TTrayIcon::SetTitle(const QString& title)
{
    m_title = title;
}

void TTrayIcon::SetIcon(const QIcon& icon)
{
    m_icon = icon;
}

void TTrayIcon::SetPopupMenu(QMenu* menu)
{
    m_popupMenu = menu;   // QPointer clears itself when the menu is destroyed
}

void TTrayIcon::SetIconVisible(bool visible)
{
    if (visible == m_iconVisible)
        return;
    m_iconVisible = visible;
    NotifyShell(visible ? Command::Add : Command::Delete);
}

bool TTrayIcon::TrayAvailable() const
{
    return m_backend->IsAvailable();
}

QString TTrayIcon::TipText(const QString& hint)
{
    QString tip;
    int bytes = 0;
    for (int i = 0; i < hint.size();) {
        const int length = (hint.at(i).isHighSurrogate() && i + 1 < hint.size()) ? 2 : 1;
        const QString character = hint.mid(i, length);
        const int size = encodedLength(character);
        if (bytes + size > kTipBytes)
            break;
        bytes += size;
        tip += character;
        i += length;
    }
    return tip;
}

void TTrayIcon::NotifyShell(Command command)
{
    // Failures of the notification area are not reported: the flag keeps its value.
    if (command == Command::Add) {
        m_backend->Describe(m_title, m_popupMenu);
        m_backend->Add(m_icon, TipText(m_hint));
    } else
        m_backend->Delete();
}

void TTrayIcon::TrayWndProc(TrayBackend::Press press)
{
    if (press != TrayBackend::Press::Left || !m_popupMenu)
        return;
    m_popupMenu->popup(QCursor::pos());
}
