#include "view.h"

#include "ui_view.h"

#include "WebBrowserControl.h"
#include "AppTitle.h"
#include "Guarded.h"
#include "MenuGlyph.h"
#include "WindowLook.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QUrl>

TForm5::TForm5(WebBrowserControl* wb, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
    , m_ui(std::make_unique<Ui::TForm5>())
    , m_wb(wb)
{
    m_ui->setupUi(this);
    setFont(WindowLook::SongFont());
    WindowLook::UsePalette(this);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, WindowLook::Background());
    palette.setColor(QPalette::Button, WindowLook::Background());
    setPalette(palette);
    setAutoFillBackground(true);
    WindowLook::CentreOnFirstShow(this);

    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPixelSize(12);
    m_ui->Edit1->setFont(tahoma);
    m_ui->Edit1->setText(HomePage());

    m_ui->sb1->setIcon(MenuGlyph(QStringLiteral(":/images/glyph_sb1.bmp")));
    m_ui->SpeedButton1->setIcon(MenuGlyph(QStringLiteral(":/images/glyph_SpeedButton1.bmp")));
    m_ui->go->setIcon(MenuGlyph(QStringLiteral(":/images/glyph_go.bmp")));

    m_wb->setObjectName(QStringLiteral("wb"));
    m_ui->Panel1Layout->addWidget(m_wb);
    setTabOrder(m_wb, m_ui->Edit1);

    connect(m_ui->go, &QToolButton::clicked, this, Guarded([this] { goClick(); }));
    connect(m_ui->sb1, &QToolButton::clicked, this, Guarded([this] { sb1Click(); }));
    connect(m_ui->SpeedButton1, &QToolButton::clicked, this, Guarded([this] { SpeedButton1Click(); }));
}

TForm5::~TForm5() = default;

QString TForm5::HomePage()
{
    return MakerHomePage();
}

void TForm5::Show()
{
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void TForm5::goClick()
{
    // An address typed without a scheme is completed as the old control did
    // ("www.quelm.com" → "http://www.quelm.com"). A complete address goes as
    // typed, escapes and all, and so does what cannot be read as an address.
    const QString text = m_ui->Edit1->text();
    const QString trimmed = text.trimmed();
    const QUrl completed = QUrl::fromUserInput(trimmed);
    if (!completed.isValid())
        m_wb->Navigate(text);
    else if (trimmed.startsWith(completed.scheme() + QLatin1Char(':'), Qt::CaseInsensitive))
        m_wb->Navigate(trimmed);
    else
        m_wb->Navigate(completed.toString(QUrl::FullyEncoded));
}

void TForm5::sb1Click()
{
    m_wb->Navigate(HomePage());
}

void TForm5::SpeedButton1Click()
{
    m_wb->Stop();
}
