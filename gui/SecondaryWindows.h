#pragma once

#include <QObject>

#include <memory>

class BrowserWindowProxy;
class SettingsStore;
class TForm1;
class TForm2;
class TForm3;

// The windows that start hidden: the about box, the settings dialog (which loads the settings
// when it is made, showing any error then) and the built-in browser. They are made once, in
// that order, right after the main window's first frame, so that the frame waits for none of
// them; or earlier, the moment the main window needs one.
class SecondaryWindows final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SecondaryWindows)
public:
    SecondaryWindows(TForm1& mainWindow, SettingsStore& settings);
    ~SecondaryWindows() override;

    // Call once the main window is shown.
    void CreateAfterFirstFrame();
    void Create();

private:
    TForm1& m_mainWindow;
    SettingsStore& m_settings;
    std::unique_ptr<TForm2> m_form2;
    std::unique_ptr<TForm3> m_form3;
    std::unique_ptr<BrowserWindowProxy> m_form5;
    bool m_creating = false;
};
