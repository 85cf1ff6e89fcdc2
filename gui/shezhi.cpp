#include "shezhi.h"

#include "ErrorBox.h"
#include "Guarded.h"
#include "SettingsStore.h"
#include "WindowLook.h"
#include "controls/XP_Button.h"
#include "controls/XP_CheckBox.h"
#include "controls/XP_RadioBox.h"
#include "ui_shezhi.h"

#include <QCoreApplication>

#include <exception>

TForm3::TForm3(SettingsStore& settings, QString programPath, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::TForm3>()), m_settings(settings),
      m_programPath(programPath.isEmpty() ? QCoreApplication::applicationFilePath() : std::move(programPath))
{
    WindowLook::SetUpDialog(this, QSize(322, 226), [this] { m_ui->setupUi(this); });
    WindowLook::SetBackground(this, WindowLook::Background());
    WindowLook::SetBackground(m_ui->ts1, WindowLook::Background());
    WindowLook::SetBackground(m_ui->ts2, WindowLook::Background());

    connect(m_ui->b1, &TXP_Button::OnClick, this, Guarded([this] { b1Click(); }));
    connect(m_ui->b2, &TXP_Button::OnClick, this, Guarded([this] { b2Click(); }));

    // Created at start-up, outside any event handler: a store error is shown here.
    try {
        FormCreate();
    } catch (const std::exception& error) {
        ErrorBox::Show(QString::fromUtf8(error.what()));
    }
}

TForm3::~TForm3() = default;

void TForm3::FormCreate()
{
    const SettingsStore::ReadResult start = m_settings.readStartWithSystem();
    if (start.keyOpened)
        m_ui->xb1->SetChecked(!start.text.isEmpty());
    const SettingsStore::ReadResult mode = m_settings.readBrowserModeText();
    if (mode.keyOpened) {
        if (!mode.text.isEmpty())
            m_ui->xb2->SetChecked(true);
        else
            m_ui->xb2->SetChecked(false);
    }
}

void TForm3::ShowOnPage(int pageIndex)
{
    show();
    raise();
    activateWindow();
    m_ui->pc1->setCurrentIndex(pageIndex);
}

void TForm3::b1Click()
{
    m_settings.writeStartWithSystem(m_ui->xb1->Checked(), m_programPath);
    m_settings.writeBrowserMode(m_ui->xb2->Checked());
}

void TForm3::b2Click()
{
    close();
}
