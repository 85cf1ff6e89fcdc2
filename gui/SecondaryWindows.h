#pragma once

#include <QObject>

#include <memory>

class BrowserWindowProxy;
class BuiltInBrowser;
class QWidget;
class SettingsStore;
class TForm2;
class TForm3;

// The windows that start hidden: the about box, the settings dialog (which loads the settings
// when it is made, showing any error then) and the built-in browser. They are made once, in
// that order, right after the main window's first frame, so that the frame waits for none of
// them; or earlier, the moment one is asked for.
class SecondaryWindows final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SecondaryWindows)
public:
    SecondaryWindows(QWidget& mainWindow, SettingsStore& settings);
    ~SecondaryWindows() override;

    // Call once the main window is shown.
    void CreateAfterFirstFrame();

    // Each makes all three windows when they are not made yet; null only while they are being made.
    QWidget* AboutBox();
    TForm3* SettingsDialog();
    BuiltInBrowser* BrowserWindow();

    // Tests: a browser window of their own instead of the helper program's.
    void UseBrowserWindow(BuiltInBrowser* browser) { m_browserStandIn = browser; }

private:
    void Create();

    QWidget& m_mainWindow;
    SettingsStore& m_settings;
    std::unique_ptr<TForm2> m_form2;
    std::unique_ptr<TForm3> m_form3;
    std::unique_ptr<BrowserWindowProxy> m_form5;
    BuiltInBrowser* m_browserStandIn = nullptr;
    bool m_creating = false;
};
