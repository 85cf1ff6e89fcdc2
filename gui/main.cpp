#include "main.h"

#include "AppTitle.h"
#include "BuiltInBrowser.h"
#include "EngineCatalogue.h"
#include "ExternalBrowser.h"
#include "FirstFrame.h"
#include "Guarded.h"
#include "MenuGlyph.h"
#include "MenuGlyphStyle.h"
#include "PageLayout.h"
#include "SearchDispatcher.h"
#include "SearchRequest.h"
#include "SecondaryWindows.h"
#include "SettingsStore.h"
#include "controls/TrayIcon.h"
#include "WindowLook.h"
#include "controls/XP_Button.h"
#include "controls/XP_CheckBox.h"
#include "shezhi.h"
#include "yinqing.h"
#include "ui_main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabBar>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QPoint kStoredPosition(696, 27);

QString initialStatusText() { return QStringLiteral("欢迎使用QUELM搜索寻踪客"); }

// The free CJK face draws "_" a row below its descent, where the label's 12 pixels clip it.
// The line stays on the label's bottom row, just below q: the label grows upwards to hold it,
// and by two rows downwards, where a scaled screen draws the stroke thicker and lower.
// The face's bitmap "_" leaves a pixel free between characters; its outline draws one line.
void PlaceUnderline(QLabel* underline)
{
    QFont outline = underline->font();
    outline.setStyleStrategy(QFont::PreferAntialias);
    underline->setFont(outline);
    const QFontMetrics metrics(outline);
    const int lineRow = metrics.ascent() + metrics.tightBoundingRect(QStringLiteral("_")).bottom();
    const QRect laid = underline->geometry();
    const int top = std::min(laid.top(), laid.bottom() - lineRow);
    underline->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    underline->setGeometry(laid.left(), top, laid.width(), laid.bottom() + 3 - top);
}

} // namespace

TForm1::TForm1(SettingsStore& settings, ExternalBrowser& externalBrowser, std::unique_ptr<TrayBackend> tray,
               QWidget* parent)
    : TForm1(settings, externalBrowser, std::move(tray), parent, true, EngineSetup())
{
}

TForm1::TForm1(SettingsStore& settings, ExternalBrowser& externalBrowser, Pages, EngineSetup engines)
    : TForm1(settings, externalBrowser, nullptr, nullptr, false, std::move(engines))
{
}

TForm1::TForm1(SettingsStore& settings, ExternalBrowser& externalBrowser, std::unique_ptr<TrayBackend> tray,
               QWidget* parent, bool allPages, EngineSetup engines)
    : QMainWindow(parent), m_ui(std::make_unique<Ui::TForm1>()), m_settings(settings),
      m_externalBrowser(externalBrowser), m_hiddenWindows(std::make_unique<SecondaryWindows>(*this, settings)),
      m_engines(std::move(engines))
{
    setFont(WindowLook::SongFont());
    m_ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(QIcon(QStringLiteral(":/images/MAINICON.png")));
    ApplyLook();
    if (allPages) {
        CompletePages();
    } else {
        BuildPage(EngineCatalogue::categories().first());
        LinkFocusChain();
    }
    connect(m_ui->pc, &QTabWidget::currentChanged, this, &TForm1::CompletePages);
    BuildTrayMenu();
    BindMenus();

    MakeTrayIcon(std::move(tray));

    connect(m_ui->go, &TXP_Button::OnClick, this, Guarded([this] { goClick(); }));
    m_ui->q->installEventFilter(this);
    m_ui->Image1->installEventFilter(this);

    m_ui->pc->setCurrentIndex(0);
    adjustSize();
    setFixedSize(size());
    WindowLook::PlaceOnScreen(this, kStoredPosition);
}

TForm1::~TForm1() = default;

void TForm1::ApplyLook()
{
    WindowLook::UsePalette(this);
    WindowLook::SetBackground(this, WindowLook::Background());
    WindowLook::SetBackground(m_ui->Panel1, WindowLook::Background());
    WindowLook::SetBackground(m_ui->Panel2, QColor(228, 227, 251));
    for (const CategoryPage& category : EngineCatalogue::categories())
        WindowLook::SetBackground(PageOf(category.category), WindowLook::Background());

    QPalette underline = m_ui->l1->palette();
    underline.setColor(QPalette::WindowText, QColor(185, 209, 234));
    m_ui->l1->setPalette(underline);
    PlaceUnderline(m_ui->l1);
    QPalette query = m_ui->q->palette();
    query.setColor(QPalette::Base, WindowLook::Background());
    m_ui->q->setPalette(query);
    m_ui->q->raise();   // the underline label lies beneath the borderless edit

    m_statusLabel = new QLabel(initialStatusText(), m_ui->sb);
    m_ui->sb->addWidget(m_statusLabel, 1);
    m_ui->sb->setFixedHeight(19);

    // The glyphs are set here only, with their backdrop left out; the layout names none.
    for (QAction* item : {m_ui->N9, m_ui->N10, m_ui->N11, m_ui->N12, m_ui->Quelm1, m_ui->N16, m_ui->N14})
        item->setIcon(MenuGlyph(QStringLiteral(":/images/glyph_%1.bmp").arg(item->objectName())));
}

void TForm1::MakeTrayIcon(std::unique_ptr<TrayBackend> tray)
{
    m_trayIcon = new TTrayIcon(this, std::move(tray));
    m_trayIcon->SetHint(QStringLiteral("Quelm搜索寻踪客"));
    m_trayIcon->SetTitle(AppTitle());
    m_trayIcon->SetIcon(QIcon(QStringLiteral(":/images/MAINICON.png")));
    m_trayIcon->SetPopupMenu(m_popupMenu);
}

void TForm1::BuildPage(const CategoryPage& category)
{
    QList<QWidget*>& built = m_pageControls[int(category.category)];
    if (!built.isEmpty())
        return;
    QWidget* page = PageOf(category.category);
    const PagePlan plan = PageLayout::plan(category.category, m_engines);

    // Rows that do not fit scroll; a page that fits keeps its controls on the page itself.
    QWidget* holder = page;
    const int height = m_ui->pc->height() - m_ui->pc->tabBar()->sizeHint().height() - 4;
    if (plan.contentSize.height() + 4 > height || plan.contentSize.width() > PageLayout::PageWidth) {
        auto* area = new QScrollArea(page);
        area->setFrameShape(QFrame::NoFrame);
        area->setFocusPolicy(Qt::NoFocus);
        // Only rows moved beyond the page's width scroll sideways; the vertical bar may cover the
        // end of a long caption in the right column.
        area->setHorizontalScrollBarPolicy(plan.contentSize.width() > PageLayout::PageWidth ? Qt::ScrollBarAsNeeded
                                                                                            : Qt::ScrollBarAlwaysOff);
        holder = new QWidget;
        holder->setFixedSize(plan.contentSize + QSize(0, 6));
        WindowLook::SetBackground(holder, WindowLook::Background());
        WindowLook::SetBackground(area->viewport(), WindowLook::Background());
        area->setWidget(holder);
        if (!page->layout()) {
            auto* layout = new QVBoxLayout(page);
            layout->setContentsMargins(0, 0, 0, 0);
        }
        page->layout()->addWidget(area);
        m_scrollAreas[int(category.category)] = area;
    }

    // Created in tab order, so that the page's focus chain is that order.
    const QList<UserEngine>& own = m_engines.userEngines(category.category);
    for (const PlacedControl& placed : plan.controls) {
        if (placed.kind == PlacedControl::Kind::Row) {
            const SearchEngine& engine = *EngineCatalogue::find(placed.name);
            auto* box = static_cast<TXP_CheckBox*>(MakeCheckBox(holder, engine));
            box->setGeometry(placed.geometry);
            box->SetChecked(m_engines.isCheckedAtStart(engine));
            built.append(box);
        } else if (placed.kind == PlacedControl::Kind::UserEngine) {
            const UserEngine& engine = own.at(placed.userIndex);
            auto* box = new TXP_CheckBox(holder);
            box->setObjectName(QStringLiteral("%1_user%2").arg(category.pageName).arg(placed.userIndex + 1));
            box->setGeometry(placed.geometry);
            box->SetCaption(engine.name);
            box->SetChecked(engine.checkedAtStart);
            box->setAccessibleName(engine.name);
            box->setToolTip(engine.address);
            m_userBoxes[int(category.category)].append(box);
            m_userBoxEngines[int(category.category)].append(placed.userIndex);
            built.append(box);
        } else {
            const auto selector = std::find_if(EngineCatalogue::selectors().cbegin(), EngineCatalogue::selectors().cend(),
                                               [&](const SelectorBox& box) { return box.name == placed.name; });
            QWidget* combo = MakeSelector(holder, *selector);
            combo->setGeometry(placed.geometry);
            built.append(combo);
        }
    }
    // A child made after its page was shown stays hidden unless told.
    if (page->isVisible()) {
        for (QWidget* control : std::as_const(built))
            control->show();
    }
}

void TForm1::ClearPage(SearchCategory category)
{
    for (QWidget* control : std::as_const(m_pageControls[int(category)])) {
        m_checkBoxes.remove(control->objectName());
        m_selectors.remove(control->objectName());
    }
    if (QScrollArea* area = std::exchange(m_scrollAreas[int(category)], nullptr))
        delete area;   // with the controls inside it
    else
        qDeleteAll(m_pageControls[int(category)]);
    m_pageControls[int(category)].clear();
    m_userBoxes[int(category)].clear();
    m_userBoxEngines[int(category)].clear();
}

void TForm1::ApplyEngines(const EngineSetup& engines)
{
    QHash<QString, bool> ticks;
    for (auto it = m_checkBoxes.cbegin(); it != m_checkBoxes.cend(); ++it)
        ticks.insert(it.key(), it.value()->Checked());
    QHash<QString, QString> texts;
    for (auto it = m_selectors.cbegin(); it != m_selectors.cend(); ++it)
        texts.insert(it.key(), it.value()->currentText());
    // A user's engine stays the same row while its page, name and address stay.
    const auto key = [](const CategoryPage& page, const UserEngine& engine) {
        return page.pageName + u'\n' + engine.name + u'\n' + engine.address;
    };
    QHash<QString, bool> userTicks;
    for (const CategoryPage& page : EngineCatalogue::categories()) {
        const QList<TXP_CheckBox*>& boxes = m_userBoxes[int(page.category)];
        const QList<int>& engines = m_userBoxEngines[int(page.category)];
        const QList<UserEngine>& own = m_engines.userEngines(page.category);
        for (int i = 0; i < boxes.size(); ++i)
            userTicks.insert(key(page, own.at(engines.at(i))), boxes.at(i)->Checked());
    }

    const bool hadFocus = m_ui->pc->isAncestorOf(QApplication::focusWidget());
    m_engines = engines;
    for (const CategoryPage& page : EngineCatalogue::categories()) {
        if (!m_pageControls[int(page.category)].isEmpty()) {
            ClearPage(page.category);
            BuildPage(page);
        }
    }
    for (auto it = ticks.cbegin(); it != ticks.cend(); ++it) {
        if (TXP_CheckBox* box = m_checkBoxes.value(it.key()))
            box->SetChecked(it.value());
    }
    for (auto it = texts.cbegin(); it != texts.cend(); ++it) {
        if (QComboBox* combo = m_selectors.value(it.key()))
            combo->setCurrentText(it.value());
    }
    for (const CategoryPage& page : EngineCatalogue::categories()) {
        const QList<TXP_CheckBox*>& boxes = m_userBoxes[int(page.category)];
        const QList<UserEngine>& own = m_engines.userEngines(page.category);
        for (int i = 0; i < boxes.size(); ++i) {
            const auto found = userTicks.constFind(key(page, own.at(m_userBoxEngines[int(page.category)].at(i))));
            if (found != userTicks.cend())
                boxes.at(i)->SetChecked(*found);
        }
    }
    LinkFocusChain();
    if (hadFocus)
        m_ui->pc->setFocus();
}

int TForm1::CurrentPage() const
{
    return m_ui->pc->currentIndex();
}

void TForm1::SetEnginesFile(EnginesFile* file)
{
    m_enginesFile = file;
    m_engineManagerItem->setEnabled(file != nullptr);
}

TForm6* TForm1::EngineManager()
{
    if (!m_engineManager && m_enginesFile) {
        m_engineManager = new TForm6(*m_enginesFile, this);
        connect(m_engineManager, &TForm6::Saved, this, Guarded([this](const EngineSetup& engines) { ApplyEngines(engines); }));
    }
    return m_engineManager;
}

void TForm1::N26Click()
{
    if (TForm6* manager = EngineManager())
        manager->ShowFor(m_engines, CurrentPage());
}

QWidget* TForm1::MakeCheckBox(QWidget* page, const SearchEngine& engine)
{
    auto* box = new TXP_CheckBox(page);
    box->setObjectName(engine.checkBox);
    box->setGeometry(engine.placement.left, engine.placement.top, engine.placement.width,
                     EngineCatalogue::CheckBoxHeight);
    box->SetCaption(engine.caption);
    box->SetChecked(engine.checkedAtStart);
    m_checkBoxes.insert(engine.checkBox, box);
    return box;
}

QWidget* TForm1::MakeSelector(QWidget* page, const SelectorBox& selector)
{
    auto* combo = new QComboBox(page);
    combo->setObjectName(selector.name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(selector.items);
    combo->setCurrentText(selector.initialText);
    combo->setGeometry(selector.placement.left, selector.placement.top, selector.placement.width,
                       EngineCatalogue::ComboBoxHeight);
    if (selector.windowColourBackground) {
        QPalette palette = combo->palette();
        palette.setColor(QPalette::Base, WindowLook::Background());
        combo->setPalette(palette);
    }
    m_selectors.insert(selector.name, combo);
    return combo;
}

void TForm1::CompletePages()
{
    if (m_pagesComplete)
        return;
    m_pagesComplete = true;
    for (const CategoryPage& category : EngineCatalogue::categories())
        BuildPage(category);
    LinkFocusChain();
}

void TForm1::LinkFocusChain()
{
    QList<QWidget*> chain{m_ui->pc};
    for (const QList<QWidget*>& controls : m_pageControls)
        chain += controls;
    chain << m_ui->go << m_ui->q;
    for (int i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void TForm1::BuildTrayMenu()
{
    m_popupMenu = new QMenu(this);
    m_popupMenu->setObjectName(QStringLiteral("PopupMenu1"));
    auto* glyphStyle = new MenuGlyphStyle;
    glyphStyle->setParent(this);
    m_popupMenu->setStyle(glyphStyle);
    m_ui->N1->setStyle(glyphStyle);

    const struct {
        const char* name;
        QAction* fileItem;
    } pageItems[] = {{"N18", m_ui->N9}, {"N19", m_ui->N10}, {"N20", m_ui->N11}, {"N21", m_ui->N12}};
    int pageIndex = 0;
    for (const auto& item : pageItems) {
        QAction* action = m_popupMenu->addAction(item.fileItem->icon(), item.fileItem->text());
        action->setObjectName(QLatin1String(item.name));
        connect(action, &QAction::triggered, this, Guarded([this, pageIndex] { RestoreFromTray(pageIndex); }));
        ++pageIndex;
    }
    m_popupMenu->addSeparator()->setObjectName(QStringLiteral("N22"));
    QAction* quit = m_popupMenu->addAction(m_ui->N14->icon(), m_ui->N14->text());
    quit->setObjectName(QStringLiteral("N24"));
    connect(quit, &QAction::triggered, this, &QWidget::close);
}

void TForm1::BindMenus()
{
    connect(m_ui->N9, &QAction::triggered, this, Guarded([this] { ShowPage(0); }));
    connect(m_ui->N10, &QAction::triggered, this, Guarded([this] { ShowPage(1); }));
    connect(m_ui->N11, &QAction::triggered, this, Guarded([this] { ShowPage(2); }));
    connect(m_ui->N12, &QAction::triggered, this, Guarded([this] { ShowPage(3); }));
    connect(m_ui->Quelm1, &QAction::triggered, this, Guarded([this] {
        if (BuiltInBrowser* browser = m_hiddenWindows->BrowserWindow())
            browser->Show();
    }));
    connect(m_ui->N16, &QAction::triggered, this, Guarded([this] { Image1Click(); }));
    connect(m_ui->N14, &QAction::triggered, this, &QWidget::close);
    connect(m_ui->N4, &QAction::triggered, this, Guarded([this] {
        if (TForm3* dialog = m_hiddenWindows->SettingsDialog())
            dialog->ShowOnPage(0);
    }));
    connect(m_ui->N8, &QAction::triggered, this, Guarded([this] {
        if (TForm3* dialog = m_hiddenWindows->SettingsDialog())
            dialog->ShowOnPage(1);
    }));
    // 搜索引擎管理, right after 搜索设置.
    m_engineManagerItem = new QAction(QStringLiteral("搜索引擎管理"), this);
    m_engineManagerItem->setObjectName(QStringLiteral("N26"));
    m_engineManagerItem->setEnabled(false);
    m_ui->N2->addAction(m_engineManagerItem);
    connect(m_engineManagerItem, &QAction::triggered, this, Guarded([this] { N26Click(); }));
    connect(m_ui->N5, &QAction::triggered, this, Guarded([this] { N5Click(); }));
    connect(m_ui->N7, &QAction::triggered, this, Guarded([this] {
        if (QWidget* about = m_hiddenWindows->AboutBox()) {
            about->show();
            about->raise();
            about->activateWindow();
        }
    }));
}

void TForm1::SetBrowserWindow(BuiltInBrowser* form5)
{
    m_hiddenWindows->UseBrowserWindow(form5);
}

QWidget* TForm1::PageOf(SearchCategory category) const
{
    QWidget* pages[] = {m_ui->ts1, m_ui->ts2, m_ui->ts3, m_ui->ts4};
    return pages[int(category)];
}

QString TForm1::StatusText() const
{
    return m_statusLabel->text();
}

QString TForm1::HelpFilePath()
{
    const QString folder = QCoreApplication::applicationDirPath();
    const QString beside = folder + QStringLiteral("/help/index.htm");
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed =
        QDir::cleanPath(folder + QStringLiteral("/../share/quelm/help/index.htm"));
    return QFileInfo::exists(installed) ? installed : beside;
}

// --- the search ------------------------------------------------------------

SearchRequest TForm1::Request()
{
    SearchRequest request;
    request.builtIn = SearchRequest::IsBuiltInMode(m_settings.readBrowserModeText().text);
    if (!isVisible())
        return request;
    for (const CategoryPage& category : EngineCatalogue::categories()) {
        if (m_ui->pc->currentWidget() == PageOf(category.category))
            request.page = category.category;
    }
    if (!request.page)
        return request;
    const SearchCategory page = *request.page;
    CompletePages();
    for (const SearchEngine& engine : EngineCatalogue::engines()) {
        const TXP_CheckBox* box = m_checkBoxes.value(engine.checkBox);
        if (engine.category != page || !box || !box->Checked())
            continue;
        const QComboBox* selector = m_selectors.value(engine.selector);
        request.rows.append({engine, selector ? selector->currentText() : QString()});
    }
    // The user's engines after the catalogue's, in the page's order.
    const QList<TXP_CheckBox*>& boxes = m_userBoxes[int(page)];
    const QList<UserEngine>& own = m_engines.userEngines(page);
    for (int i = 0; i < boxes.size(); ++i) {
        if (boxes.at(i)->Checked())
            request.rows.append({own.at(m_userBoxEngines[int(page)].at(i)).searchEngine(page), QString()});
    }
    request.query = m_ui->q->text();
    return request;
}

void TForm1::showBuiltInBrowser()
{
    if (BuiltInBrowser* browser = m_hiddenWindows->BrowserWindow())
        browser->Show();
}

void TForm1::openBuiltIn(const QString& url)
{
    if (BuiltInBrowser* browser = m_hiddenWindows->BrowserWindow())
        browser->Navigate(url);
}

void TForm1::openExternal(const QString& url)
{
    m_externalBrowser.open(url);
}

void TForm1::setStatusText(const QString& text)
{
    m_statusLabel->setText(text);
}

// --- handlers ---------------------------------------------------------------

void TForm1::goClick()
{
    SearchDispatcher(*this).run(Request());
}

void TForm1::qClick()
{
    if (m_ui->q->text() == QStringLiteral("quelm搜索寻踪客"))
        m_ui->q->clear();
}

void TForm1::Image1Click()
{
    m_externalBrowser.open(MakerHomePage());
}

void TForm1::N5Click()
{
    m_externalBrowser.open(QUrl::fromLocalFile(HelpFilePath()).toString(QUrl::FullyEncoded));
}

void TForm1::ShowPage(int pageIndex)
{
    m_ui->pc->setCurrentIndex(pageIndex);
}

void TForm1::RestoreFromTray(int pageIndex)
{
    showNormal();
    raise();
    activateWindow();
    ShowPage(pageIndex);
    m_trayIcon->SetIconVisible(false);
}

void TForm1::ComeForward()
{
    RestoreFromTray(m_ui->pc->currentIndex());
}

void TForm1::MinimizeToTray()
{
    // Without a notification area there would be no way back: stay minimised.
    if (!isMinimized() || !m_trayIcon->TrayAvailable())
        return;
    // The minimised state stays until the restore: clearing it here would have X map
    // the window again behind Qt's back.
    hide();
    m_trayIcon->SetIconVisible(true);
}

void TForm1::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        QMetaObject::invokeMethod(this, &TForm1::MinimizeToTray, Qt::QueuedConnection);
}

void TForm1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_pagesComplete)
        AfterFirstFrame(*this, this, [this] { CompletePages(); });
}

void TForm1::closeEvent(QCloseEvent* event)
{
    event->accept();
    Q_EMIT Closed();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_ui->q) {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
                m_ui->go->Click();   // the key still reaches the edit
        } else if (event->type() == QEvent::MouseButtonPress) {
            m_qPressed = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (m_qPressed && mouse->button() == Qt::LeftButton && m_ui->q->rect().contains(mouse->position().toPoint()))
                qClick();
            m_qPressed = false;
        }
    } else if (watched == m_ui->Image1 && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && m_ui->Image1->rect().contains(mouse->position().toPoint()))
            Guarded([this] { Image1Click(); })();
    }
    return QMainWindow::eventFilter(watched, event);
}
