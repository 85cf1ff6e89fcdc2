// Hostile and odd input where the user types: the query box, a typed selector text, the
// built-in browser's address box, and what reaches xdg-open. Nothing may crash, every result
// address is printable ASCII, and the external browser gets the address as its one argument.

#include "AppFakes.h"
#include "AutostartRegistryBackend.h"
#include "BrowserProtocol.h"
#include "EngineCatalogue.h"
#include "ErrorBox.h"
#include "IniRegistryBackend.h"
#include "GuardedApplication.h"
#include "RecordingBrowserControl.h"
#include "SettingsStore.h"
#include "UrlComposer.h"
#include "XdgOpenBrowser.h"
#include "controls/XP_Button.h"
#include "controls/XP_CheckBox.h"
#include "main.h"
#include "view.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {

QString withUnits(std::initializer_list<char16_t> units)
{
    QString text;
    for (char16_t u : units)
        text.append(QChar(u));
    return text;
}

bool isPrintableAscii(const QString& url)
{
    for (QChar c : url) {
        if (c.unicode() < 0x21 || c.unicode() > 0x7E)
            return false;
    }
    return true;
}

QString googleUrl(const QString& encodedQuery)
{
    return QStringLiteral("http://www.google.com/search?q=") + encodedQuery;
}

} // namespace

class TestBadInput : public QObject
{
    Q_OBJECT

private:
    // The main window with exactly one ticked row, on the page of that row.
    struct Window {
        QTemporaryDir dir;
        IniRegistryBackend ini{dir.path() + QStringLiteral("/quelm_search")};
        AutostartRegistryBackend autostart{dir.path() + QStringLiteral("/autostart")};
        SettingsStore store{ini, autostart};
        RecordingBuiltInBrowser builtIn;
        std::unique_ptr<TForm1> form;

        Window(ExternalBrowser& external, const char* onlyRow)
        {
            form = std::make_unique<TForm1>(store, external, std::make_unique<CountingTray>());
            form->SetBrowserWindow(&builtIn);
            for (TXP_CheckBox* box : form->findChildren<TXP_CheckBox*>())
                box->SetChecked(box->objectName() == QLatin1String(onlyRow));
            QWidget* page = form->findChild<TXP_CheckBox*>(QLatin1String(onlyRow))->parentWidget();
            auto* pc = form->findChild<QTabWidget*>(QStringLiteral("pc"));
            pc->setCurrentWidget(page);
            form->show();
            QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        }
        QLineEdit* q() const { return form->findChild<QLineEdit*>(QStringLiteral("q")); }
        void clickGo() const
        {
            QTest::mouseClick(form->findChild<TXP_Button*>(QStringLiteral("go")), Qt::LeftButton, {}, QPoint(80, 16));
        }
    };

    QStringList m_errors;
    QByteArray m_path;

    // An xdg-open that records its arguments, one NUL-terminated field each, count first.
    QString installRecordingXdgOpen(const QTemporaryDir& dir)
    {
        const QString log = dir.filePath(QStringLiteral("calls"));
        QDir().mkpath(log);
        QFile script(dir.filePath(QStringLiteral("xdg-open")));
        if (!script.open(QIODevice::WriteOnly))
            return {};
        script.write("#!/bin/sh\nPATH=/usr/bin:/bin\n"
                     "d='" + QFile::encodeName(log) + "'\n"
                     "printf '%s\\0' \"$#\" \"$@\" > \"$d/tmp.$$\" && mv \"$d/tmp.$$\" \"$d/call.$$\"\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", QFile::encodeName(dir.path()));
        return log;
    }

    static QList<QStringList> recordedCalls(const QString& log, int expected)
    {
        QList<QStringList> calls;
        QDir folder(log);
        const auto done = [&] { return folder.entryList({QStringLiteral("call.*")}, QDir::Files).size(); };
        QTest::qWaitFor([&] { return done() >= expected; }, 20000);
        for (const QString& name : folder.entryList({QStringLiteral("call.*")}, QDir::Files)) {
            QFile file(folder.filePath(name));
            if (!file.open(QIODevice::ReadOnly))
                continue;
            QList<QByteArray> fields = file.readAll().split('\0');
            fields.removeLast(); // after the last terminator
            QStringList call;
            for (const QByteArray& field : fields)
                call.append(QString::fromUtf8(field));
            calls.append(call);
        }
        return calls;
    }

private Q_SLOTS:
    void initTestCase() { m_path = qgetenv("PATH"); }
    void init()
    {
        m_errors.clear();
        ErrorBox::SetPresenter([this](const QString&, const QString& text) { m_errors.append(text); });
    }
    void cleanup() { qputenv("PATH", m_path); }

    // What the composer makes of text no search engine expects: characters beyond GBK keep
    // their four-byte GB18030 form, control characters and NUL are escaped like any byte, and
    // an unpaired surrogate half, which has no encoding at all, becomes "?" ("%3F").
    void composedAddress_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("encoded");
        QTest::newRow("emoji") << QStringLiteral("😀") << "%949%FC6";
        QTest::newRow("euro sign, outside GB2312") << QStringLiteral("€") << "%A2%E3";
        QTest::newRow("replacement character") << QStringLiteral("\uFFFD") << "%841%A47";
        QTest::newRow("GBK") << QStringLiteral("中文") << "%D6%D0%CE%C4";
        QTest::newRow("tab and control") << withUnits({u'a', 0x09, u'b', 0x01, 0x1B, 0x7F}) << "a%09b%01%1B%7F";
        QTest::newRow("newlines") << QStringLiteral("a\nb\r\n") << "a%0Ab%0D%0A";
        QTest::newRow("NUL") << withUnits({u'a', 0x00, u'b'}) << "a%00b";
        QTest::newRow("lone high surrogate") << withUnits({0xD800, u'x'}) << "%3Fx";
        QTest::newRow("lone low surrogate at the end") << withUnits({u'x', 0xDFFF}) << "x%3F";
        QTest::newRow("swapped pair") << withUnits({0xDE00, 0xD83D}) << "%3F%3F";
        QTest::newRow("query syntax") << QStringLiteral("a&b=c#d+e%f g") << "a%26b%3Dc%23d%2Be%25f%20g";
        QTest::newRow("empty") << QString() << "";
    }

    void composedAddress()
    {
        QFETCH(QString, query);
        QFETCH(QString, encoded);
        const QString url = QString::fromLatin1(
            UrlComposer::plainUrl(QStringLiteral("www.google.com"), QStringLiteral("/search?q="), query));
        QCOMPARE(url, googleUrl(encoded));
        const QString typed = QString::fromLatin1(UrlComposer::typedUrl(
            QStringLiteral("www.chinamp3.com"), QStringLiteral("/s?type="), query, QStringLiteral("x")));
        QCOMPARE(typed, QStringLiteral("http://www.chinamp3.com/s?type=") + encoded + QStringLiteral("&key=x"));
    }

    // Typed into the window, the same texts reach the browser as one ASCII address each.
    void queryBoxAndSelectorText_data() { composedAddress_data(); }

    void queryBoxAndSelectorText()
    {
        QFETCH(QString, query);
        QFETCH(QString, encoded);
        RecordingExternalBrowser external;
        {
            Window w(external, "sgoogle");
            w.q()->setText(query);
            w.clickGo();
            QCOMPARE(external.urls.size(), 1);
            QVERIFY2(isPrintableAscii(external.urls.first()), qPrintable(external.urls.first()));
            // The edit box may drop what it cannot hold (a line edit keeps no line breaks).
            // Google's row sends UTF-8.
            QCOMPARE(external.urls.first(),
                     QString::fromLatin1(UrlComposer::plainUrl(QStringLiteral("www.google.com"),
                                                               QStringLiteral("/search?q="), w.q()->text(),
                                                               QStringLiteral("UTF-8"))));
            if (w.q()->text() == query && !query.contains(QChar(0xD800)))
                QCOMPARE(QByteArray::fromPercentEncoding(external.urls.first().mid(googleUrl({}).size()).toLatin1()),
                         query.toUtf8());
        }
        external.urls.clear();
        {
            Window w(external, "schinamp3");
            w.q()->setText(QStringLiteral("q"));
            auto* selector = w.form->findChild<QComboBox*>(QStringLiteral("chinam1"));
            selector->setCurrentText(query);
            w.clickGo();
            QCOMPARE(external.urls.size(), 1);
            QVERIFY2(isPrintableAscii(external.urls.first()), qPrintable(external.urls.first()));
            if (selector->currentText() == query)
                QVERIFY2(external.urls.first().endsWith(QStringLiteral("type=") + encoded + QStringLiteral("&key=q")),
                         qPrintable(external.urls.first()));
        }
        QVERIFY(m_errors.isEmpty());
    }

    // A whole mebibyte pasted into the query box: the box keeps its usual 32767 characters and
    // the search opens one address built from exactly those.
    void mebibytePastedIntoTheQuery()
    {
        RecordingExternalBrowser external;
        Window w(external, "sgoogle");
        QString huge = QStringLiteral("x"); // puts a surrogate pair across the box's length limit
        huge.reserve(1 << 20);
        while (huge.size() < (1 << 20))
            huge.append(QStringLiteral("搜索 & 😀 abc\n"));
        huge.truncate(1 << 20);
        QGuiApplication::clipboard()->setText(huge);
        w.q()->clear();
        w.q()->setFocus();
        w.q()->paste();
        QCOMPARE(w.q()->text().size(), w.q()->maxLength());
        const QString kept = w.q()->text();
        QVERIFY(huge.startsWith(kept) || QString(huge).remove(u'\n').startsWith(kept) ||
                QString(huge).replace(u'\n', u' ').startsWith(kept));
        w.clickGo();
        QCOMPARE(external.urls.size(), 1);
        QVERIFY(isPrintableAscii(external.urls.first()));
        QCOMPARE(external.urls.first(),
                 QString::fromLatin1(UrlComposer::plainUrl(QStringLiteral("www.google.com"), QStringLiteral("/search?q="),
                                                           w.q()->text(), QStringLiteral("UTF-8"))));
        QCOMPARE(w.form->StatusText(), QStringLiteral("欢迎使用Quelm搜索寻踪客！"));

        // The same text as a selector: one address too, and the window keeps working.
        external.urls.clear();
        Window typed(external, "schinamp3");
        typed.form->findChild<QComboBox*>(QStringLiteral("chinam1"))->setCurrentText(huge);
        typed.q()->setText(huge.left(1000));
        typed.clickGo();
        QCOMPARE(external.urls.size(), 1);
        QVERIFY(isPrintableAscii(external.urls.first()));
        QVERIFY(m_errors.isEmpty());
    }

    // Shell syntax and a leading "-" are data: xdg-open gets exactly one argument, the address.
    void shellSyntaxReachesXdgOpenAsOneArgument()
    {
        QTemporaryDir dir;
        const QString log = installRecordingXdgOpen(dir);
        QVERIFY(!log.isEmpty());
        XdgOpenBrowser xdgOpen;
        Window w(xdgOpen, "sgoogle");
        const QString query = QStringLiteral("-h --version ;rm -rf ~ $(touch pwned) `id` | > x 'a\" \\ *");
        w.q()->setText(query);
        w.clickGo();
        const QList<QStringList> calls = recordedCalls(log, 1);
        QCOMPARE(calls.size(), 1);
        const QString expected = QString::fromLatin1(
            UrlComposer::plainUrl(QStringLiteral("www.google.com"), QStringLiteral("/search?q="), query,
                                  QStringLiteral("UTF-8")));
        QVERIFY(expected.startsWith(QStringLiteral("http://www.google.com/search?q=-h%20--version%20%3Brm")));
        QCOMPARE(calls.first(), (QStringList{QStringLiteral("1"), expected}));
        QVERIFY(!QFile::exists(QStringLiteral("pwned")));
        QVERIFY(m_errors.isEmpty());
    }

    // The one caller that hands xdg-open something else than a composed address.
    void xdgOpenTakesAnAddressStartingWithADashAsItsArgument()
    {
        QTemporaryDir dir;
        const QString log = installRecordingXdgOpen(dir);
        XdgOpenBrowser().open(QStringLiteral("--help"));
        XdgOpenBrowser().open(QStringLiteral("-"));
        QList<QStringList> calls = recordedCalls(log, 2);
        std::sort(calls.begin(), calls.end());
        QCOMPARE(calls, (QList<QStringList>{{"1", "-"}, {"1", "--help"}}));
    }

    // The built-in browser's address box hands the control what the user typed; the control,
    // not the window, decides what it loads. Nothing is rewritten into something else.
    void typedAddresses_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("loaded");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("blanks only") << QStringLiteral("   ") << QStringLiteral("   ");
        QTest::newRow("javascript") << QStringLiteral("javascript:alert(document.cookie)")
                                    << QStringLiteral("javascript:alert(document.cookie)");
        QTest::newRow("file") << QStringLiteral("file:///etc/passwd") << QStringLiteral("file:///etc/passwd");
        QTest::newRow("file without slashes") << QStringLiteral("file:secret") << QStringLiteral("file:secret");
        QTest::newRow("control characters") << withUnits({u'h', 0x01, 0x00, u'x'}) << withUnits({u'h', 0x01, 0x00, u'x'});
        QTest::newRow("lone surrogate") << withUnits({u'a', 0xD800}) << withUnits({u'a', 0xD800});
    }

    void typedAddresses()
    {
        QFETCH(QString, typed);
        QFETCH(QString, loaded);
        auto* wb = new RecordingBrowserControl;
        TForm5 form(wb);
        auto* edit = form.findChild<QLineEdit*>(QStringLiteral("Edit1"));
        edit->setText(typed);
        if (edit->text() != typed)
            QSKIP("the address box does not hold this text");
        QTest::mouseClick(form.findChild<QToolButton*>(QStringLiteral("go")), Qt::LeftButton);
        QCOMPARE(wb->calls, QStringList{QStringLiteral("navigate ") + loaded});
        QCOMPARE(edit->text(), typed);
        // Whatever was typed crosses the pipe to the helper unchanged.
        const QByteArray line = BrowserProtocol::EncodeNavigate(loaded);
        QVERIFY(!line.chopped(1).contains('\n'));
        const auto decoded = BrowserProtocol::DecodeLine(line.chopped(1));
        QVERIFY(decoded && decoded->url == loaded);
    }

    void hugeTypedAddress()
    {
        auto* wb = new RecordingBrowserControl;
        TForm5 form(wb);
        auto* edit = form.findChild<QLineEdit*>(QStringLiteral("Edit1"));
        QString huge = QStringLiteral("http://example.com/?q=");
        huge.append(QString(1 << 20, u'中'));
        edit->setText(huge);
        QCOMPARE(edit->text().size(), edit->maxLength());
        QTest::mouseClick(form.findChild<QToolButton*>(QStringLiteral("go")), Qt::LeftButton);
        QCOMPARE(wb->calls.size(), 1);
        QVERIFY(wb->calls.first().startsWith(QStringLiteral("navigate http://example.com/?q=")));
        // A refusing control ends the handler with its error; the window stays usable.
        wb->refuse = true;
        QVERIFY_THROWS_EXCEPTION(std::exception, form.goClick());
        wb->refuse = false;
        form.sb1Click();
        QCOMPARE(wb->calls.last(), QStringLiteral("navigate http://www.quelm.com/"));
        // The protocol line for the longest address fits in memory and decodes back.
        const QByteArray line = BrowserProtocol::EncodeNavigate(edit->text());
        const auto decoded = BrowserProtocol::DecodeLine(line.chopped(1));
        QVERIFY(decoded && decoded->url == edit->text());
    }
};

int main(int argc, char* argv[])
{
    GuardedApplication app(argc, argv);
    TestBadInput tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "tst_bad_input.moc"
