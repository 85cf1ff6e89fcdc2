#pragma once

#include "BuiltInBrowser.h"

#include <QObject>
#include <QString>

class QProcess;

// Form5 on the main program's side. The window itself lives in the helper
// program quelm-browser, which links the browser engine so that this program
// does not have to; the helper is started on the first call and receives
// the calls in order over its standard input. A helper that died is started
// again on the next call. The helper quits when its input closes, so it
// never outlives this object or this program.
class BrowserWindowProxy final : public QObject, public BuiltInBrowser
{
    Q_OBJECT
public:
    explicit BrowserWindowProxy(QString helperPath = defaultHelperPath(), QObject* parent = nullptr);
    ~BrowserWindowProxy() override;
    Q_DISABLE_COPY_MOVE(BrowserWindowProxy)

    void Show() override;
    void Navigate(const QString& url) override;

    QString helperPath() const { return m_helperPath; }
    bool isHelperRunning() const;

    // quelm-browser beside the executable; for an installed program, where the
    // packaging puts it under lib/ instead, ../lib/quelm/quelm-browser.
    static QString defaultHelperPath();
    static QString defaultHelperPath(const QString& executableDir);

private:
    void ensureHelper();
    void send(const QByteArray& line);
    void discardHelper();

    QString m_helperPath;
    QProcess* m_helper = nullptr;
};
