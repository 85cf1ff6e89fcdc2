#pragma once

#include "EngineSetup.h"
#include "SearchOpener.h"

#include <QHash>
#include <QList>
#include <QMainWindow>

#include <array>
#include <memory>

class BuiltInBrowser;
class EnginesFile;
class QScrollArea;
class TForm6;
struct CategoryPage;
struct SearchEngine;
struct SelectorBox;
class ExternalBrowser;
class QComboBox;
class QLabel;
class QMenu;
class SecondaryWindows;
class SettingsStore;
struct SearchRequest;
enum class SearchCategory;
class TForm3;
class TTrayIcon;
class TXP_CheckBox;
#include "controls/TrayBackend.h"
namespace Ui {
class TForm1;
}

// The main window: the four engine pages, the query box and the search button,
// the banner, the status bar, the menus and the tray icon. A search takes its request from it
// and opens its results through it.
class TForm1 final : public QMainWindow, private SearchOpener
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm1)
public:
    // A null tray backend means the system's notification area.
    TForm1(SettingsStore& settings, ExternalBrowser& externalBrowser, std::unique_ptr<TrayBackend> tray = nullptr,
           QWidget* parent = nullptr);
    // The program's own window: only the page that shows at start is built before the window's
    // first frame; the others right after it, or the moment one is needed.
    enum class Pages { ShowingFirst };
    TForm1(SettingsStore& settings, ExternalBrowser& externalBrowser, Pages pages, EngineSetup engines = {});
    ~TForm1() override;

    // The windows the menus open, made on demand or right after the first frame.
    SecondaryWindows& HiddenWindows() const { return *m_hiddenWindows; }
    // Tests: a browser window of their own instead of the helper program's.
    void SetBrowserWindow(BuiltInBrowser* form5);
    // Where "搜索引擎管理" saves; without one its menu item is disabled.
    void SetEnginesFile(EnginesFile* file);

    // The pages rebuilt for a new engine setup: the rows that stay keep their ticks and the
    // selectors their texts; a row new to its page starts as its start tick says.
    void ApplyEngines(const EngineSetup& engines);
    const EngineSetup& Engines() const { return m_engines; }
    int CurrentPage() const;
    // The user's engines' check boxes of a page, in search order.
    QList<TXP_CheckBox*> UserEngineBoxes(SearchCategory category) const { return m_userBoxes[int(category)]; }
    TForm6* EngineManager();

    TTrayIcon* TrayIcon() const { return m_trayIcon; }
    QMenu* TrayMenu() const { return m_popupMenu; }
    QString StatusText() const;

    // The help page handed to the browser: beside the program, or in the
    // installed data folder when only that one exists.
    static QString HelpFilePath();

    // The search the window shows: the stored browser mode (may throw), the showing page, its
    // ticked rows and the query.
    SearchRequest Request();

    void goClick();
    void qClick();
    void Image1Click();
    void N5Click();
    void ShowPage(int pageIndex);          // N9Click … N12Click
    void N26Click();                       // 搜索引擎管理
    void RestoreFromTray(int pageIndex);   // N18Click … N21Click
    void ComeForward();                    // another start asked: back on the page that was showing
    void MinimizeToTray();

Q_SIGNALS:
    // The main window was closed: the program ends.
    void Closed();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TForm1(SettingsStore& settings, ExternalBrowser& externalBrowser, std::unique_ptr<TrayBackend> tray,
           QWidget* parent, bool allPages, EngineSetup engines);
    void ApplyLook();
    void MakeTrayIcon(std::unique_ptr<TrayBackend> tray);
    void BuildPage(const CategoryPage& category);
    void ClearPage(SearchCategory category);
    QWidget* MakeCheckBox(QWidget* page, const SearchEngine& engine);
    QWidget* MakeSelector(QWidget* page, const SelectorBox& selector);
    void CompletePages();
    void LinkFocusChain();
    void BuildTrayMenu();
    void BindMenus();
    QWidget* PageOf(SearchCategory category) const;

    // SearchOpener
    void showBuiltInBrowser() override;
    void openBuiltIn(const QString& url) override;
    void openExternal(const QString& url) override;
    void setStatusText(const QString& text) override;

    std::unique_ptr<Ui::TForm1> m_ui;
    SettingsStore& m_settings;
    ExternalBrowser& m_externalBrowser;
    TTrayIcon* m_trayIcon = nullptr;
    QMenu* m_popupMenu = nullptr;
    QLabel* m_statusLabel = nullptr;
    std::unique_ptr<SecondaryWindows> m_hiddenWindows;
    QHash<QString, TXP_CheckBox*> m_checkBoxes;
    QHash<QString, QComboBox*> m_selectors;
    std::array<QList<QWidget*>, 4> m_pageControls;   // per page, in tab order; empty until built
    std::array<QList<TXP_CheckBox*>, 4> m_userBoxes;  // per page, in search order: the shown ones
    std::array<QList<int>, 4> m_userBoxEngines;       // each box's engine in the page's list
    std::array<QScrollArea*, 4> m_scrollAreas{};      // only for a page whose rows do not fit
    EngineSetup m_engines;
    EnginesFile* m_enginesFile = nullptr;
    TForm6* m_engineManager = nullptr;
    QAction* m_engineManagerItem = nullptr;
    bool m_pagesComplete = false;
    bool m_qPressed = false;
};
