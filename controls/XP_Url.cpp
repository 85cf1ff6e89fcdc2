#include "controls/XP_Url.h"

#include "controls/LinkOpener.h"
#include "controls/ScreenCursors.h"
#include "controls/SkinText.h"
#include "controls/SkinnedAccessible.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>

#include <utility>

namespace {

// Blanks and control characters at both ends, as the address would be typed or pasted.
QString TrimBlanks(const QString& text)
{
    qsizetype first = 0, last = text.size();
    while (first < last && text.at(first) <= QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) <= QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

// A bare "name@host" becomes a mailto: link so that the desktop hands it to the mail program;
// anything that already names a scheme goes as it is.
QString AsMailLink(const QString& text)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    return scheme.match(text).hasMatch() ? text : QStringLiteral("mailto:") + text;
}

} // namespace

void OpenUrlInExplorer(const QString& url)
{
    CurrentLinkOpener().Open(url);
}

void ShellRun(const QString& text)
{
    CurrentLinkOpener().Open(text);
}

void ShellOpenFile(const QString& path)
{
    CurrentLinkOpener().Open(path);
}

TXP_Url::TXP_Url(QWidget* parent) : TControl(parent)
{
    setGeometry(0, 0, 121, 17);
}

QSize TXP_Url::sizeHint() const
{
    const QFontMetrics metrics(font());
    return {m_picture.width() + m_lineOffSet + metrics.horizontalAdvance(SkinText::StripAmpersands(Caption())),
            height()};
}

void TXP_Url::OpenLink()
{
    m_visited = true;
    SkinnedAccessible::StateChanged(this);
    const QString address = TrimBlanks(m_url);
    if (address.isEmpty())
        return;
    if (address.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
        address.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
        OpenUrlInExplorer(address);
    else if (address.contains(QLatin1Char('@')))
        ShellRun(AsMailLink(address));
    else if (const QFileInfo file(address); file.isFile())
        ShellOpenFile(file.absoluteFilePath());
}

void TXP_Url::DrawLink(bool hover)
{
    m_hoverPaint = hover;
    repaint();
    m_hoverPaint = false;
}

int TXP_Url::Paint(QPainter& painter, bool hover)
{
    QFont textFont = font();
    textFont.setUnderline(false);  // the underline is a line of the link colour, never the font's
    painter.setFont(textFont);
    const QFontMetrics metrics(textFont, this);

    int x0 = 0;
    if (m_picture.width() >= 1 && m_picture.height() >= 1) {
        // Only the part of the picture within the label is taken over.
        QImage bitmap(m_picture.size(), QImage::Format_ARGB32);
        bitmap.fill(Qt::black);
        {
            QPainter copy(&bitmap);
            copy.setCompositionMode(QPainter::CompositionMode_Source);
            copy.drawImage(QPoint(0, 0), m_picture, QRect(0, 0, width(), height()));
        }
        if (m_picTrans)
            bitmap = Transparent(bitmap, m_picTransColor);
        // Greyed after the transparent pixels are known, so that they stay transparent.
        if (!isEnabled())
            GrayBitmap(bitmap, 30);
        x0 = bitmap.width() + 2;
        painter.drawImage(0, (height() - bitmap.height()) / 2 + m_picOffSet, bitmap);
    }

    QColor color = palette().color(QPalette::WindowText);
    if (!isEnabled())
        color = QColor(ColorToRGB(clGray));
    else if (hover)
        color = QColor(ColorToRGB(m_hoverColor));
    else if (m_visited)
        color = QColor(ColorToRGB(m_visitedColor));
    painter.setPen(color);
    // Measured once: shaping the caption is most of a paint, and without an "&" both texts agree.
    const int captionWidth = metrics.horizontalAdvance(Caption());
    SkinText::DrawText(painter, {x0, 0, x0 + captionWidth, height()}, Caption(), false);

    const QString shown = SkinText::StripAmpersands(Caption());
    const int textWidth = shown.size() == Caption().size() ? captionWidth : metrics.horizontalAdvance(shown);
    const int textHeight = metrics.height();
    if (m_underLine) {
        const int y = (height() - textHeight) / 2 + textHeight + m_lineOffSet;
        painter.fillRect(x0, y, textWidth, 1, color);
    }
    return textWidth;
}

void TXP_Url::paintEvent(QPaintEvent*)
{
    const bool hover = std::exchange(m_hoverPaint, false);
    int textWidth = 0;
    {
        QPainter painter(this);
        textWidth = Paint(painter, hover);
    }
    // The picture's width and LineOffSet, not the 2-pixel gap, count towards the width. (The
    // font's underline, left out for drawing, changes no advance.)
    const int sized = std::max(m_picture.width(), 0) + m_lineOffSet + textWidth;
    if (sized != width())
        resize(sized, height());
}

void TXP_Url::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_clickStarted = true;
    OpenLink();
}

void TXP_Url::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (std::exchange(m_clickStarted, false) && rect().contains(event->position().toPoint()))
        emit OnClick(this);
}

void TXP_Url::MouseEnter()
{
    setCursor(ScreenCursors::Cursor(crXPHand));
    DrawLink(true);
}

void TXP_Url::MouseLeave()
{
    unsetCursor();
    DrawLink(false);
}

void TXP_Url::Activate()
{
    OpenLink();
    emit OnClick(this);
}

bool TXP_Url::DialogChar(QChar character)
{
    if (!AcceleratorTyped(character))
        return false;
    OpenLink();
    return true;
}
