// The user's engines through the dialog 搜索引擎管理 and on the main window's pages, with the
// real engines file in a temporary folder.

#include "AppFakes.h"
#include "EnginesFile.h"
#include "ErrorBox.h"
#include "OpenSearchDocument.h"
#include "EngineCheckLink.h"
#include "GuardedApplication.h"
#include "LocalHttpServer.h"
#include "SearchRequest.h"
#include "controls/XP_Button.h"
#include "controls/XP_CheckBox.h"
#include "main.h"
#include "tianjia.h"
#include "yinqing.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QScrollArea>
#include <QTableWidget>
#include <QTest>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

} // namespace

class TestEngines final : public QObject
{
    Q_OBJECT

    struct Fixture : TemporarySettings
    {
        RecordingExternalBrowser external;
        RecordingBuiltInBrowser builtIn;
        QString path = dir.path() + QStringLiteral("/quelm_search/engines.ini");
        EnginesFile file{path};
        std::unique_ptr<TForm1> form;

        Fixture() { restart(); }
        // A new main window from what the file holds, as at the program's start.
        void restart()
        {
            form.reset();
            file = EnginesFile(path);
            form = std::make_unique<TForm1>(store, external, TForm1::Pages::ShowingFirst, file.load());
            form->SetEnginesFile(&file);
            form->SetBrowserWindow(&builtIn);
            form->show();
            form->Request(); // builds the pages a first frame leaves for later, as a search does
        }
        TForm6* openManager()
        {
            QMenu* settingsMenu = form->findChild<QMenu*>(QStringLiteral("N2"));
            const QList<QAction*> items = settingsMenu->actions();
            const auto after = std::find_if(items.cbegin(), items.cend(),
                                            [](QAction* a) { return a->objectName() == QLatin1String("N8"); });
            (*(after + 1))->trigger(); // the item right after 搜索设置
            return form->EngineManager();
        }
        template <typename T> T* child(const QString& name) const { return form->findChild<T*>(name); }
        // The dialog's list row of a catalogue row or user's engine by its name column.
        static int rowNamed(TForm6* manager, const QString& name)
        {
            for (int r = 0; r < manager->List()->rowCount(); ++r)
                if (manager->List()->item(r, 2)->text() == name)
                    return r;
            return -1;
        }
        static void setTick(TForm6* manager, const QString& name, int column, bool checked)
        {
            manager->List()
                ->item(rowNamed(manager, name), column)
                ->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
        }
    };

    QStringList m_errors;

private Q_SLOTS:
    void init()
    {
        m_errors.clear();
        ErrorBox::SetPresenter([this](const QString&, const QString& text) { m_errors.append(text); });
    }

    void addedEngineIsShownSearchedAndKept()
    {
        Fixture f;
        TForm6* manager = f.openManager();
        QVERIFY(manager->isVisible());
        QCOMPARE(manager->windowTitle(), QStringLiteral("搜索引擎管理"));
        QCOMPARE(manager->List()->rowCount(), 11);
        f.child<QLineEdit>("q")->setText(QStringLiteral("你好"));

        manager->AddClick();
        TForm7* form = manager->Form();
        QVERIFY(form->isVisible());
        QCOMPARE(form->CharsetBox()->currentText(), QStringLiteral("UTF-8"));
        form->NameEdit()->setText(QStringLiteral("台湾站"));
        form->AddressEdit()->setText(QStringLiteral(" https://b.tw/s?q=%s "));
        form->CharsetBox()->setCurrentText(QStringLiteral("BIG5"));
        form->TickBox()->SetChecked(true);
        form->OkClick();
        QVERIFY(!form->isVisible());
        QCOMPARE(manager->List()->rowCount(), 12);
        QVERIFY(f.form->UserEngineBoxes(SearchCategory::General).isEmpty()); // only "保存" applies
        manager->SaveClick();
        QVERIFY(manager->isVisible());
        QVERIFY(m_errors.isEmpty());

        // After the last catalogue row (3721中文 at 8, 204), beside it in the right column.
        const QList<TXP_CheckBox*> boxes = f.form->UserEngineBoxes(SearchCategory::General);
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes.first()->geometry(), QRect(135, 204, 90, 17));
        QCOMPARE(boxes.first()->Caption(), QStringLiteral("台湾站"));
        QCOMPARE(boxes.first()->accessibleName(), QStringLiteral("台湾站"));
        QVERIFY(boxes.first()->isVisible());
        QVERIFY(boxes.first()->Checked());
        QCOMPARE(f.child<QLineEdit>("q")->text(), QStringLiteral("你好"));
        QWidget* beforeButton = f.child<QWidget>("sbeida"); // the last catalogue row in the tab order
        QCOMPARE(beforeButton->nextInFocusChain(), boxes.first());
        QVERIFY(!f.child<QScrollArea>(QString()));

        f.child<TXP_Button>("go")->Click();
        QCOMPARE(f.external.urls,
                 (QStringList{"http://www.google.com/search?q=%E4%BD%A0%E5%A5%BD", "https://b.tw/s?q=%A7A%A6n"}));

        f.restart();
        QCOMPARE(f.form->UserEngineBoxes(SearchCategory::General).size(), 1);
        QVERIFY(f.form->UserEngineBoxes(SearchCategory::General).first()->Checked());
        QCOMPARE(f.form->Engines().userEngines(SearchCategory::General).first().charset, QStringLiteral("BIG5"));
    }

    void hiddenRowsCloseUpAndComeBack()
    {
        Fixture f;
        TForm6* manager = f.openManager();
        f.child<TXP_CheckBox>("sbaidu1")->SetChecked(true);
        Fixture::setTick(manager, QStringLiteral("中文雅虎"), 0, false);
        Fixture::setTick(manager, QStringLiteral("Google搜索"), 1, false); // 启动时勾选
        Fixture::setTick(manager, QStringLiteral("百度搜索"), 1, true);
        manager->PageBox()->setCurrentIndex(1);
        Fixture::setTick(manager, QStringLiteral("百度歌曲搜索"), 0, false);
        manager->SaveClick();

        QVERIFY(!f.child<TXP_CheckBox>("syahoo"));
        // The next rows take the places before them and keep their widths.
        QCOMPARE(f.child<TXP_CheckBox>("ssina")->geometry(), QRect(8, 43, 89, 17));
        QCOMPARE(f.child<TXP_CheckBox>("ssohu")->geometry(), QRect(135, 45, 81, 17));
        QCOMPARE(f.child<TXP_CheckBox>("s3721")->geometry(), QRect(135, 165, 81, 17));
        // A row's selector keeps its place beside the row.
        QCOMPARE(f.child<TXP_CheckBox>("ssogua")->geometry(), QRect(8, 46, 105, 17));
        QCOMPARE(f.child<TXP_CheckBox>("schinageci")->geometry(), QRect(112, 46, 121, 17));
        QCOMPARE(f.child<QComboBox>("chinam2")->geometry(), QRect(236, 44, 91, 20));
        // The rows that stay keep the ticks they had; the start ticks wait for the next start.
        QVERIFY(f.child<TXP_CheckBox>("sgoogle")->Checked());
        QVERIFY(f.child<TXP_CheckBox>("sbaidu1")->Checked());

        f.restart();
        QVERIFY(!f.child<TXP_CheckBox>("syahoo"));
        QVERIFY(!f.child<TXP_CheckBox>("sgoogle")->Checked());
        QVERIFY(f.child<TXP_CheckBox>("sbaidu1")->Checked());

        manager = f.openManager();
        QCOMPARE(manager->List()->item(Fixture::rowNamed(manager, QStringLiteral("中文雅虎")), 0)->checkState(),
                 Qt::Unchecked);
        manager->RestoreClick();
        manager->PageBox()->setCurrentIndex(1);
        manager->RestoreClick();
        manager->SaveClick();
        f.restart();
        for (const SearchEngine& row : EngineCatalogue::engines()) {
            TXP_CheckBox* box = f.child<TXP_CheckBox>(row.checkBox);
            QVERIFY2(box, qPrintable(row.checkBox));
            QCOMPARE(box->geometry(), QRect(row.placement.left, row.placement.top, row.placement.width, 17));
            QCOMPARE(box->Checked(), row.checkedAtStart);
        }
        QCOMPARE(f.child<QComboBox>("chinam2")->geometry(), QRect(132, 84, 91, 20));
    }

    void badInputChangesNoFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("charset");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty name") << ""
                                    << "https://a.cn/?q=%s"
                                    << "UTF-8"
                                    << "请填写名称";
        QTest::newRow("name too long") << QString(1001, u'长') << "https://a.cn/?q=%s"
                                       << "UTF-8"
                                       << "最多 1000";
        QTest::newRow("no %s") << "a"
                               << "https://a.cn/?q="
                               << "UTF-8"
                               << "缺少“%s”";
        QTest::newRow("javascript:") << "a"
                                     << "javascript:alert(%s)"
                                     << "UTF-8"
                                     << "http://";
        QTest::newRow("file:") << "a"
                               << "file:///etc/%s"
                               << "UTF-8"
                               << "http://";
        QTest::newRow("unknown set") << "a"
                                     << "https://a.cn/?q=%s"
                                     << "GB9999"
                                     << "GB9999";
    }

    void badInputChangesNoFile()
    {
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(QString, charset);
        Fixture f;
        TForm6* manager = f.openManager();
        manager->SaveClick();
        const QByteArray before = readAll(f.path);
        const EngineSetup setup = manager->Setup();

        manager->AddClick();
        TForm7* form = manager->Form();
        form->NameEdit()->setText(name);
        form->AddressEdit()->setText(address);
        form->CharsetBox()->setCurrentText(charset);
        form->OkClick();
        QVERIFY(form->isVisible());
        QFETCH(QString, message);
        QVERIFY2(form->Problem().contains(message), qPrintable(form->Problem()));
        QCOMPARE(form->NameEdit()->text(), name);
        QCOMPARE(form->AddressEdit()->text(), address);
        QCOMPARE(form->CharsetBox()->currentText(), charset);
        form->CancelClick();
        QVERIFY(manager->Setup() == setup);
        QCOMPARE(readAll(f.path), before);

        // A document that is no OpenSearch description: its name and why, nothing opened.
        const QString document = f.dir.filePath(QStringLiteral("engine.xml"));
        QFile xml(document);
        QVERIFY(xml.open(QIODevice::WriteOnly));
        xml.write("<OpenSearchDescription><Url type='text/html' method='POST' template='https://a.cn/'/>"
                  "</OpenSearchDescription>");
        xml.close();
        manager->SetFileChooser([&](bool, const QString&) { return document; });
        manager->ImportClick();
        QCOMPARE(m_errors.size(), 1);
        QVERIFY2(m_errors.first().contains(document) && m_errors.first().contains(QStringLiteral("POST")),
                 qPrintable(m_errors.first()));
        QVERIFY(!form->isVisible());
        QVERIFY(manager->Setup() == setup);
        QCOMPARE(readAll(f.path), before);
    }

    void importedEngineGoesThroughTheFormAndExportsBack()
    {
        Fixture f;
        TForm6* manager = f.openManager();
        manager->PageBox()->setCurrentIndex(3);
        const QString in = f.dir.filePath(QStringLiteral("in.xml"));
        const QString out = f.dir.filePath(QStringLiteral("out.xml"));
        QFile xml(in);
        QVERIFY(xml.open(QIODevice::WriteOnly));
        xml.write("<OpenSearchDescription xmlns='http://a9.com/-/spec/opensearch/1.1/'><ShortName>书</ShortName>"
                  "<InputEncoding>GBK</InputEncoding><Url type='text/html' "
                  "template='http://s.cn/?w={searchTerms}&amp;p={startPage?}'/></OpenSearchDescription>");
        xml.close();
        manager->SetFileChooser([&](bool save, const QString&) { return save ? out : in; });
        manager->ImportClick();
        QVERIFY(manager->Form()->isVisible());
        QCOMPARE(manager->Form()->AddressEdit()->text(), QStringLiteral("http://s.cn/?w=%s"));
        manager->Form()->OkClick();
        manager->List()->selectRow(manager->List()->rowCount() - 1);
        manager->ExportClick();
        QVERIFY(m_errors.isEmpty());
        const OpenSearchDocument::Read back = OpenSearchDocument::readFile(out);
        QVERIFY(back.engine);
        QCOMPARE(back.engine->name, QStringLiteral("书"));
        QCOMPARE(back.engine->charset, QStringLiteral("GBK"));
        QCOMPARE(back.engine->address, QStringLiteral("http://s.cn/?w=%s"));
    }

    // 检测 against the test's own server: the catalogue's hosts reach it as the desktop's proxy,
    // the user's engines directly.
    void checkShowsWhatAnswersAndHidesTheRest()
    {
        LocalHttpServer server;
        server.otherHosts = QStringLiteral("/status/500");
        server.hosts.insert(QStringLiteral("www.google.com"), QStringLiteral("/redirect/2"));
        qputenv("http_proxy", server.Url(QString()).toLatin1());
        qputenv("no_proxy", "127.0.0.1");
        const auto unsetProxy = qScopeGuard([] {
            qunsetenv("http_proxy");
            qunsetenv("no_proxy");
        });
        Fixture f;
        QDir().mkpath(QFileInfo(f.path).path());
        QFile file(f.path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("[engine]\npage = ts1\nname = 本地正常\naddress = %1\n"
                                  "[engine]\npage = ts1\nname = 本地出错\naddress = %2\n")
                       .arg(server.Url("/status/200?q=%s"), server.Url("/status/404?q=%s"))
                       .toUtf8());
        file.close();
        f.restart();
        const auto open = [&f](int timeoutMs) {
            TForm6* manager = f.openManager();
            manager->CheckLink()->SetHelperPath(QStringLiteral(QUELM_CHECK_HELPER));
            manager->CheckLink()->SetTimeoutMs(timeoutMs);
            return manager;
        };
        const auto status = [](TForm6* manager, const QString& name) {
            return manager->List()->item(Fixture::rowNamed(manager, name), 5)->text();
        };

        TForm6* manager = open(5000);
        manager->CheckClick();
        manager->CheckClick(); // nothing while one runs
        QTRY_VERIFY_WITH_TIMEOUT(!manager->CheckLink()->IsRunning(), 30000);
        QVERIFY2(m_errors.isEmpty(), qPrintable(m_errors.join(u'\n')));
        const int asked = manager->CheckProgress()->maximum();
        QCOMPARE(manager->CheckProgress()->text(), QStringLiteral("已检测 %1/%1").arg(asked));
        QCOMPARE(server.requests.size(), asked + 2); // each address once, and Google's two redirects
        QCOMPARE(status(manager, QStringLiteral("Google搜索")), QStringLiteral("正常"));
        QCOMPARE(status(manager, QStringLiteral("本地正常")), QStringLiteral("正常"));
        QCOMPARE(status(manager, QStringLiteral("本地出错")), QStringLiteral("出错 404"));
        QCOMPARE(status(manager, QStringLiteral("百度搜索")), QStringLiteral("出错 500"));

        manager->Button(QStringLiteral("隐藏无法使用的"))->Click();
        manager->SaveClick();
        f.restart();
        for (const SearchEngine& row : EngineCatalogue::engines())
            QCOMPARE(f.form->Engines().isShown(row.checkBox), row.checkBox == QLatin1String("sgoogle"));
        QCOMPARE(f.form->UserEngineBoxes(SearchCategory::General).size(), 1);
        QCOMPARE(f.form->UserEngineBoxes(SearchCategory::General).first()->Caption(), QStringLiteral("本地正常"));

        // 停止 with the other hosts silent: what answered stays, the rest shows nothing.
        server.otherHosts = QStringLiteral("/hang");
        server.hosts.insert(QStringLiteral("www.google.com"), QStringLiteral("/status/200"));
        manager = open(10000);
        manager->Button(QStringLiteral("检测"))->Click();
        QTRY_COMPARE(status(manager, QStringLiteral("Google搜索")), QStringLiteral("正常"));
        manager->Button(QStringLiteral("停止"))->Click();
        QVERIFY(!manager->CheckLink()->IsRunning());
        QCOMPARE(manager->CheckProgress()->value(), 1);
        QCOMPARE(status(manager, QStringLiteral("百度搜索")), QString());
        QCOMPARE(status(manager, QStringLiteral("本地正常")), QString());
        QVERIFY(manager->Button(QStringLiteral("隐藏无法使用的"))->isEnabled());
        // Closing the dialog stops it too.
        manager->Button(QStringLiteral("检测"))->Click();
        QVERIFY(manager->CheckLink()->IsRunning());
        manager->QuitClick();
        QVERIFY(!manager->CheckLink()->IsRunning());

        // A helper that is missing, or ends before it answered, is reported.
        manager = open(5000);
        manager->CheckLink()->SetHelperPath(f.dir.path() + QStringLiteral("/none"));
        manager->Button(QStringLiteral("检测"))->Click();
        QCOMPARE(m_errors.value(0), QStringLiteral("无法检测搜索引擎：找不到检测程序“%1/none”.").arg(f.dir.path()));
        manager->CheckLink()->SetHelperPath(QStringLiteral("/bin/false"));
        manager->Button(QStringLiteral("检测"))->Click();
        QTRY_COMPARE(m_errors.size(), 2);
        QVERIFY2(m_errors.at(1).startsWith(QStringLiteral("检测没有完成：检测程序“/bin/false”意外结束（退出码 1），已检测 0/")),
                 qPrintable(m_errors.at(1)));
        QVERIFY(manager->Button(QStringLiteral("检测"))->isEnabled());
    }

    void thousandEnginesScroll()
    {
        Fixture f;
        EngineSetup many;
        for (int i = 0; i < 1000; ++i) {
            UserEngine engine;
            engine.name = QStringLiteral("引擎%1").arg(i);
            engine.address = QStringLiteral("https://e%1.cn/?q=%s").arg(i);
            many.userEngines(SearchCategory::Other).append(engine);
        }
        f.form->ApplyEngines(many);
        QWidget* ts4 = f.child<QWidget>("ts4");
        QScrollArea* area = ts4->findChild<QScrollArea*>();
        QVERIFY(area);
        QVERIFY(!f.child<QWidget>("ts1")->findChild<QScrollArea*>());
        TXP_CheckBox* last = f.form->UserEngineBoxes(SearchCategory::Other).last();
        QVERIFY(area->widget()->isAncestorOf(last));
        QVERIFY(area->widget()->height() > last->geometry().bottom());
        // Still the catalogue rows first on the page, where they were designed.
        QCOMPARE(f.child<TXP_CheckBox>("sbeidaftp")->geometry(), QRect(8, 7, 169, 17));
    }
};

int main(int argc, char* argv[])
{
    GuardedApplication app(argc, argv);
    TestEngines test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_engines.moc"
