#include "SecondaryWindows.h"

#include "BrowserWindowProxy.h"
#include "ErrorBox.h"
#include "FirstFrame.h"
#include "main.h"
#include "obout.h"
#include "shezhi.h"

SecondaryWindows::SecondaryWindows(TForm1& mainWindow, SettingsStore& settings)
    : m_mainWindow(mainWindow), m_settings(settings)
{
    connect(&m_mainWindow, &TForm1::SecondaryWindowsNeeded, this, &SecondaryWindows::Create);
}

SecondaryWindows::~SecondaryWindows() = default;

void SecondaryWindows::CreateAfterFirstFrame()
{
    AfterFirstFrame(m_mainWindow, this, [this] { Create(); });
}

void SecondaryWindows::Create()
{
    // The settings dialog's error box runs an event loop: nothing is made twice meanwhile.
    if (m_form5 || m_creating)
        return;
    m_creating = true;
    m_form2 = std::make_unique<TForm2>();
    m_mainWindow.SetAboutBox(m_form2.get());
    m_form3 = std::make_unique<TForm3>(m_settings);
    m_mainWindow.SetSettingsDialog(m_form3.get());
    m_form5 = std::make_unique<BrowserWindowProxy>();
    // A browser helper that ends while no search waits on it is reported all the same.
    connect(m_form5.get(), &BrowserWindowProxy::helperFailed, this, &ErrorBox::Show, Qt::QueuedConnection);
    m_mainWindow.SetBrowserWindow(m_form5.get());
    m_creating = false;
}
