#include "SecondaryWindows.h"

#include "BrowserWindowProxy.h"
#include "main.h"
#include "obout.h"
#include "shezhi.h"

#include <QEvent>
#include <QWindow>

SecondaryWindows::SecondaryWindows(TForm1& mainWindow, SettingsStore& settings)
    : m_mainWindow(mainWindow), m_settings(settings)
{
    connect(&m_mainWindow, &TForm1::SecondaryWindowsNeeded, this, &SecondaryWindows::Create);
}

SecondaryWindows::~SecondaryWindows() = default;

void SecondaryWindows::CreateAfterFirstFrame()
{
    if (QWindow* window = m_mainWindow.windowHandle(); window && !window->isExposed())
        window->installEventFilter(this);
    else
        QMetaObject::invokeMethod(this, &SecondaryWindows::Create, Qt::QueuedConnection);
}

bool SecondaryWindows::eventFilter(QObject* watched, QEvent* event)
{
    // The frame is painted while the expose is handled; what is queued now runs after it.
    if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
        watched->removeEventFilter(this);
        QMetaObject::invokeMethod(this, &SecondaryWindows::Create, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
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
    m_mainWindow.SetBrowserWindow(m_form5.get());
    m_creating = false;
}
