#include "yinqing.h"

#include "EngineCheckLink.h"
#include "EnginesFile.h"
#include "ErrorBox.h"
#include "Guarded.h"
#include "OpenSearchDocument.h"
#include "SearchDispatcher.h"
#include "SearchRequest.h"
#include "WindowLook.h"
#include "controls/XP_Button.h"
#include "tianjia.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QProgressBar>
#include <QSaveFile>
#include <QSet>
#include <QTableWidget>

namespace {

enum Column { Shown, Ticked, Name, Address, Charset, Status, ColumnCount };

// The address a check asks for an engine: its result page for "quelm", with a selector at the
// text its page starts with.
QString checkUrlOf(const SearchEngine& engine)
{
    QString selectorText;
    for (const SelectorBox& box : EngineCatalogue::selectors())
        if (box.name == engine.selector)
            selectorText = box.initialText;
    QList<QByteArray> urls = SearchDispatcher::UrlsOf({engine, selectorText}, QStringLiteral("quelm"));
    if (urls.isEmpty() && !engine.choices.isEmpty())
        urls = SearchDispatcher::UrlsOf({engine, engine.choices.first().selectorText}, QStringLiteral("quelm"));
    return QString::fromLatin1(urls.value(0));
}

// A catalogue row's address as the user would write it: "%s" for the query, the selector's
// name in angle brackets for its text.
QString addressOf(const SearchEngine& row)
{
    const QString start = QStringLiteral("http://") + row.host;
    switch (row.form) {
    case UrlForm::Plain:
        return start + row.prefix + QStringLiteral("%s");
    case UrlForm::Typed:
        return start + row.prefix + QStringLiteral("<%1>&key=%s").arg(row.selector);
    case UrlForm::Choice:
        return start + row.choices.first().prefix + QStringLiteral("%s");
    case UrlForm::Address:
        return row.prefix;
    }
    return start;
}

QTableWidgetItem* tickItem(bool checked)
{
    auto* item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    return item;
}

QTableWidgetItem* textItem(const QString& text, bool catalogue)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setToolTip(text);
    if (catalogue)
        item->setForeground(QColor(96, 96, 96));
    return item;
}

QString fileNameFor(const QString& engineName)
{
    QString name;
    for (QChar c : engineName)
        name += (c.isLetterOrNumber() || c == u'-' || c == u'_') ? c : u'_';
    return (name.isEmpty() ? QStringLiteral("engine") : name.left(60)) + QStringLiteral(".xml");
}

} // namespace

TForm6::TForm6(EnginesFile& file, QWidget* parent) : QDialog(parent), m_file(file)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("搜索引擎管理"));
    setFont(WindowLook::SongFont());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(680, 420);
    WindowLook::UsePalette(this);
    WindowLook::SetBackground(this, WindowLook::Background());

    auto* pageLabel = new QLabel(QStringLiteral("页面："), this);
    pageLabel->setGeometry(12, 12, 44, 20);
    m_page = new QComboBox(this);
    m_page->setObjectName(QStringLiteral("page"));
    for (const CategoryPage& page : EngineCatalogue::categories())
        m_page->addItem(page.tabCaption);
    m_page->setGeometry(56, 12, 100, 20);
    pageLabel->setBuddy(m_page);

    m_list = new QTableWidget(0, ColumnCount, this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->setGeometry(12, 40, 560, 300);
    m_list->setHorizontalHeaderLabels({QStringLiteral("显示"), QStringLiteral("启动时勾选"), QStringLiteral("名称"),
                                       QStringLiteral("网址"), QStringLiteral("编码"), QStringLiteral("状态")});
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setDefaultSectionSize(20);
    m_list->setColumnWidth(Shown, 40);
    m_list->setColumnWidth(Ticked, 76);
    m_list->setColumnWidth(Name, 110);
    m_list->setColumnWidth(Address, 150);
    m_list->setColumnWidth(Charset, 70);
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->setWordWrap(false);

    const struct
    {
        const char* caption;
        void (TForm6::*handler)();
    } buttons[] = {{"添加", &TForm6::AddClick},
                   {"修改", &TForm6::ChangeClick},
                   {"删除", &TForm6::RemoveClick},
                   {"上移", nullptr},
                   {"下移", nullptr},
                   {"导入", &TForm6::ImportClick},
                   {"导出", &TForm6::ExportClick},
                   {"恢复默认", &TForm6::RestoreClick}};
    int top = 40;
    for (const auto& entry : buttons) {
        auto* button = new TXP_Button(this);
        const QString caption = QString::fromUtf8(entry.caption);
        button->setObjectName(caption);
        button->SetCaption(caption);
        button->setGeometry(588, top, 80, 24);
        top += 32;
        if (entry.handler)
            connect(button, &TXP_Button::OnClick, this,
                    Guarded([this, handler = entry.handler] { (this->*handler)(); }));
        else
            connect(button, &TXP_Button::OnClick, this,
                    [this, step = caption == QStringLiteral("上移") ? -1 : 1] { MoveClick(step); });
    }
    const struct
    {
        const char* caption;
        QRect geometry;
        void (TForm6::*handler)();
    } lowerButtons[] = {{"检测", QRect(272, 350, 70, 24), &TForm6::CheckClick},
                        {"停止", QRect(350, 350, 70, 24), &TForm6::StopClick},
                        {"隐藏无法使用的", QRect(428, 350, 144, 24), &TForm6::HideUnusableClick},
                        {"保存", QRect(220, 386, 75, 24), &TForm6::SaveClick},
                        {"退出", QRect(385, 386, 75, 24), &TForm6::QuitClick}};
    for (const auto& entry : lowerButtons) {
        auto* button = new TXP_Button(this);
        const QString caption = QString::fromUtf8(entry.caption);
        button->setObjectName(caption);
        button->SetCaption(caption);
        button->setGeometry(entry.geometry);
        connect(button, &TXP_Button::OnClick, this, Guarded([this, handler = entry.handler] { (this->*handler)(); }));
    }
    Button(QStringLiteral("停止"))->setEnabled(false);
    Button(QStringLiteral("隐藏无法使用的"))->setEnabled(false);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setGeometry(12, 352, 250, 20);
    m_progress->setFormat(QStringLiteral("已检测 %v/%m"));
    m_progress->hide();
    m_check = new EngineCheckLink(EngineCheckLink::DefaultHelperPath(), this);
    connect(m_check, &EngineCheckLink::Checked, this,
            Guarded([this](int index, const EngineStatus& status) { Checked(index, status); }));
    connect(m_check, &EngineCheckLink::Finished, this, Guarded([this] { CheckEnded(); }));
    connect(m_check, &EngineCheckLink::Failed, this, Guarded([this](const QString& message) {
                CheckEnded();
                ErrorBox::Show(message);
            }));

    m_form = new TForm7(this);
    connect(m_form, &TForm7::Accepted, this, Guarded([this](const UserEngine& engine) { FormAccepted(engine); }));
    connect(m_page, &QComboBox::currentIndexChanged, this, Guarded([this] { Fill(); }));
    connect(m_list, &QTableWidget::itemChanged, this, Guarded([this](QTableWidgetItem* item) { ItemChanged(item); }));
    connect(m_list, &QTableWidget::cellDoubleClicked, this, Guarded([this](int row) {
                if (row >= CatalogueRows())
                    ChangeClick();
            }));

    m_chooseFile = [this](bool saving, const QString& suggested) {
        const QString filter = QStringLiteral("OpenSearch 搜索引擎描述文档 (*.xml);;所有文件 (*)");
        return saving ? QFileDialog::getSaveFileName(this, QStringLiteral("导出搜索引擎"), suggested, filter)
                      : QFileDialog::getOpenFileName(this, QStringLiteral("导入搜索引擎"), QString(), filter);
    };
}

TXP_Button* TForm6::Button(const QString& caption) const
{
    return findChild<TXP_Button*>(caption, Qt::FindDirectChildrenOnly);
}

void TForm6::ShowFor(const EngineSetup& inUse, int pageIndex)
{
    if (!isVisible()) {
        m_setup = inUse;
        m_form->hide();
        // What an earlier check found is not kept: the engines may have changed since.
        m_statuses.clear();
        m_progress->hide();
        Button(QStringLiteral("隐藏无法使用的"))->setEnabled(false);
    }
    if (m_page->currentIndex() == pageIndex)
        Fill();
    else
        m_page->setCurrentIndex(pageIndex);
    if (!m_placed) {
        m_placed = true;
        WindowLook::CentreOnScreen(this);
    }
    show();
    raise();
    activateWindow();
}

SearchCategory TForm6::Category() const
{
    return EngineCatalogue::categories().at(std::max(0, m_page->currentIndex())).category;
}

int TForm6::CatalogueRows() const
{
    return int(EngineCatalogue::enginesOf(Category()).size());
}

void TForm6::Fill(int selectUserEngine)
{
    m_filling = true;
    const QList<SearchEngine> rows = EngineCatalogue::enginesOf(Category());
    const QList<UserEngine>& own = m_setup.userEngines(Category());
    m_list->clearContents();
    m_list->setRowCount(int(rows.size() + own.size()));
    m_rowUrls.clear();
    int r = 0;
    for (const SearchEngine& row : rows) {
        m_rowUrls.append(checkUrlOf(row));
        m_list->setItem(r, Shown, tickItem(m_setup.isShown(row.checkBox)));
        m_list->setItem(r, Ticked, tickItem(m_setup.isCheckedAtStart(row)));
        m_list->setItem(r, Name, textItem(row.caption.trimmed(), true));
        m_list->setItem(r, Address, textItem(addressOf(row), true));
        m_list->setItem(r, Charset, textItem(row.charset, true));
        ++r;
    }
    for (const UserEngine& engine : own) {
        m_rowUrls.append(checkUrlOf(engine.searchEngine(Category())));
        m_list->setItem(r, Shown, tickItem(engine.shown));
        m_list->setItem(r, Ticked, tickItem(engine.checkedAtStart));
        m_list->setItem(r, Name, textItem(engine.name, false));
        m_list->setItem(r, Address, textItem(engine.address, false));
        m_list->setItem(r, Charset, textItem(engine.charset, false));
        ++r;
    }
    for (int row = 0; row < m_list->rowCount(); ++row)
        ShowStatus(row);
    if (selectUserEngine >= 0 && selectUserEngine < own.size())
        m_list->selectRow(int(rows.size()) + selectUserEngine);
    m_filling = false;
}

void TForm6::ItemChanged(QTableWidgetItem* item)
{
    if (m_filling || (item->column() != Shown && item->column() != Ticked))
        return;
    const bool checked = item->checkState() == Qt::Checked;
    const QList<SearchEngine> rows = EngineCatalogue::enginesOf(Category());
    const int r = item->row();
    if (r < rows.size()) {
        if (item->column() == Shown)
            m_setup.setShown(rows.at(r).checkBox, checked);
        else
            m_setup.setCheckedAtStart(rows.at(r), checked);
    } else {
        UserEngine& engine = m_setup.userEngines(Category())[r - rows.size()];
        (item->column() == Shown ? engine.shown : engine.checkedAtStart) = checked;
    }
}

int TForm6::SelectedUserEngine()
{
    const int index = m_list->currentRow() - CatalogueRows();
    const bool selected = m_list->currentRow() >= 0 && m_list->selectionModel()->isRowSelected(m_list->currentRow());
    if (!selected || index < 0 || index >= m_setup.userEngines(Category()).size()) {
        ErrorBox::Show(
            QStringLiteral("请先在列表中选中一个自己添加的搜索引擎（内置的搜索引擎只能改“显示”和“启动时勾选”）。"));
        return -1;
    }
    return index;
}

void TForm6::AddClick()
{
    m_editing = -1;
    m_form->Edit(UserEngine());
}

void TForm6::ChangeClick()
{
    const int index = SelectedUserEngine();
    if (index < 0)
        return;
    m_editing = index;
    m_form->Edit(m_setup.userEngines(Category()).at(index));
}

void TForm6::FormAccepted(const UserEngine& engine)
{
    QList<UserEngine>& own = m_setup.userEngines(Category());
    if (m_editing >= 0 && m_editing < own.size()) {
        own[m_editing] = engine;
        Fill(m_editing);
    } else {
        own.append(engine);
        Fill(int(own.size() - 1));
    }
    m_editing = -1;
}

void TForm6::RemoveClick()
{
    const int index = SelectedUserEngine();
    if (index < 0)
        return;
    QList<UserEngine>& own = m_setup.userEngines(Category());
    own.removeAt(index);
    Fill(std::min(index, int(own.size()) - 1));
}

void TForm6::MoveClick(int step)
{
    const int index = SelectedUserEngine();
    if (index < 0)
        return;
    QList<UserEngine>& own = m_setup.userEngines(Category());
    const int to = index + step;
    if (to < 0 || to >= own.size())
        return;
    own.swapItemsAt(index, to);
    Fill(to);
}

void TForm6::ImportClick()
{
    const QString path = m_chooseFile(false, QString());
    if (path.isEmpty())
        return;
    const OpenSearchDocument::Read read = OpenSearchDocument::readFile(path);
    if (!read.engine) {
        ErrorBox::Show(read.error);
        return;
    }
    m_editing = -1;
    m_form->Edit(*read.engine);
}

void TForm6::ExportClick()
{
    const int index = SelectedUserEngine();
    if (index < 0)
        return;
    const UserEngine& engine = m_setup.userEngines(Category()).at(index);
    const QString path = m_chooseFile(true, fileNameFor(engine.name));
    if (path.isEmpty())
        return;
    const QByteArray document = OpenSearchDocument::write(engine);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(document) != document.size() || !file.commit())
        ErrorBox::Show(QStringLiteral("无法导出到 %1：%2").arg(path, file.errorString()));
}

void TForm6::RestoreClick()
{
    m_setup.restoreDefaults(Category());
    Fill();
}

void TForm6::SaveClick()
{
    const QString error = m_file.save(m_setup);
    if (!error.isEmpty()) {
        ErrorBox::Show(error);
        return;
    }
    Q_EMIT Saved(m_setup);
}

void TForm6::QuitClick()
{
    m_form->hide();
    hide();
}

void TForm6::hideEvent(QHideEvent* event)
{
    // Closed, not minimised: a minimised dialog keeps checking.
    if (!event->spontaneous() && m_check->IsRunning()) {
        m_check->Stop();
        CheckEnded();
    }
    QDialog::hideEvent(event);
}

void TForm6::CheckClick()
{
    if (m_check->IsRunning())
        return;
    // Every engine of every page, shown or not; an address several rows share is asked once.
    m_checkUrls.clear();
    QSet<QString> asked;
    for (const CategoryPage& page : EngineCatalogue::categories()) {
        QList<SearchEngine> engines = EngineCatalogue::enginesOf(page.category);
        for (const UserEngine& engine : m_setup.userEngines(page.category))
            engines.append(engine.searchEngine(page.category));
        for (const SearchEngine& engine : std::as_const(engines)) {
            const QString url = checkUrlOf(engine);
            if (!asked.contains(url)) {
                asked.insert(url);
                m_checkUrls.append(url);
            }
        }
    }
    m_check->Start(m_checkUrls);
    m_statuses.clear();
    for (int row = 0; row < m_list->rowCount(); ++row)
        ShowStatus(row);
    m_progress->setRange(0, int(m_checkUrls.size()));
    m_progress->setValue(0);
    m_progress->show();
    Button(QStringLiteral("检测"))->setEnabled(false);
    Button(QStringLiteral("停止"))->setEnabled(true);
    Button(QStringLiteral("隐藏无法使用的"))->setEnabled(false);
}

void TForm6::StopClick()
{
    if (!m_check->IsRunning())
        return;
    m_check->Stop();
    CheckEnded();
}

void TForm6::Checked(int index, const EngineStatus& status)
{
    const QString url = m_checkUrls.value(index);
    m_statuses.insert(url, status);
    m_progress->setValue(int(m_statuses.size()));
    for (int row = 0; row < m_rowUrls.size(); ++row)
        if (m_rowUrls.at(row) == url)
            ShowStatus(row);
}

void TForm6::CheckEnded()
{
    Button(QStringLiteral("检测"))->setEnabled(true);
    Button(QStringLiteral("停止"))->setEnabled(false);
    Button(QStringLiteral("隐藏无法使用的"))->setEnabled(!m_statuses.isEmpty());
}

void TForm6::ShowStatus(int row)
{
    const auto found = m_statuses.constFind(m_rowUrls.value(row));
    if (found == m_statuses.cend()) {
        m_list->setItem(row, Status, textItem(QString(), false));
        return;
    }
    QTableWidgetItem* item = textItem(found->Text(), false);
    item->setToolTip(found->detail);
    item->setForeground(found->Usable() ? QColor(0, 128, 0) : QColor(192, 0, 0));
    m_list->setItem(row, Status, item);
}

void TForm6::HideUnusableClick()
{
    const auto unusable = [this](const SearchEngine& engine) {
        const auto found = m_statuses.constFind(checkUrlOf(engine));
        return found != m_statuses.cend() && !found->Usable();
    };
    for (const CategoryPage& page : EngineCatalogue::categories()) {
        for (const SearchEngine& row : EngineCatalogue::enginesOf(page.category))
            if (unusable(row))
                m_setup.setShown(row.checkBox, false);
        for (UserEngine& engine : m_setup.userEngines(page.category))
            if (unusable(engine.searchEngine(page.category)))
                engine.shown = false;
    }
    Fill();
}
