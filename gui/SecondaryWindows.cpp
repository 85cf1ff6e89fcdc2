#include "SecondaryWindows.h"

#include "BrowserWindowProxy.h"
#include "ErrorBox.h"
#include "FirstFrame.h"
#include "obout.h"
#include "shezhi.h"

SecondaryWindows::SecondaryWindows(QWidget& mainWindow, SettingsStore& settings)
    : m_mainWindow(mainWindow), m_settings(settings)
{
}

SecondaryWindows::~SecondaryWindows() = default;

void SecondaryWindows::CreateAfterFirstFrame()
{
    AfterFirstFrame(m_mainWindow, this, [this] { Create(); });
}

QWidget* SecondaryWindows::AboutBox()
{
    Create();
    return m_form2.get();
}

TForm3* SecondaryWindows::SettingsDialog()
{
    Create();
    return m_form3.get();
}

BuiltInBrowser* SecondaryWindows::BrowserWindow()
{
    if (m_browserStandIn)
        return m_browserStandIn;
    Create();
    return m_form5.get();
}

void SecondaryWindows::Create()
{
    // The settings dialog's error box runs an event loop: nothing is made twice meanwhile.
    if (m_form5 || m_creating)
        return;
    m_creating = true;
    m_form2 = std::make_unique<TForm2>();
    m_form3 = std::make_unique<TForm3>(m_settings);
    m_form5 = std::make_unique<BrowserWindowProxy>();
    // A browser helper that ends while no search waits on it is reported all the same.
    connect(m_form5.get(), &BrowserWindowProxy::helperFailed, this, &ErrorBox::Show, Qt::QueuedConnection);
    m_creating = false;
}
