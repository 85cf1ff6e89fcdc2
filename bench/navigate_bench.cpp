// The built-in browser as a built-in search drives it: through BrowserWindowProxy, which starts
// the helper quelm-browser on its first call and waits for each call's answer. Times the calls
// (the first show waits for the helper to start; each navigation for its answer) and from the
// first call to the engine's request reaching a local HTTP server, then later navigations, and
// sums the memory of the helper's process tree (the engine's own processes included). Needs a
// display.
//   bench_navigate [LATER]
#include "BenchSupport.h"

#include "BrowserWindowProxy.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>
#include <cstdlib>
#include <unistd.h>

namespace {

// path -> when its request line arrived
QHash<QByteArray, qint64> g_requests;

void Serve(QTcpServer& server)
{
    QObject::connect(&server, &QTcpServer::newConnection, &server, [&server] {
        while (QTcpSocket* socket = server.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                while (socket->canReadLine()) {
                    const QByteArray line = socket->readLine();
                    if (line.startsWith("GET ")) {
                        const QByteArray path = line.split(' ').value(1);
                        g_requests.insert(path, Bench::NowNs());
                        const QByteArray body = "<!DOCTYPE html><html><body><h1>" + path + "</h1></body></html>";
                        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n"
                                      "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
                        socket->disconnectFromHost();
                        return;
                    }
                }
            });
        }
    });
}

bool WaitFor(const QByteArray& path, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!g_requests.contains(path) && timer.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return g_requests.contains(path);
}

void Idle(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
}

long ParentOf(long pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray stat = file.readAll();
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    return fields.value(1).toLong();
}

long SmapsKb(long pid, const char* field)
{
    QFile file(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLong();
    return 0;
}

// Every descendant of this process: the helper and the engine processes it started.
QList<long> Descendants()
{
    QHash<long, long> parents;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const long pid = entry.toLong(&number);
        if (number)
            parents.insert(pid, ParentOf(pid));
    }
    QList<long> tree{long(getpid())};
    for (qsizetype i = 0; i < tree.size(); ++i)
        for (auto it = parents.cbegin(); it != parents.cend(); ++it)
            if (it.value() == tree[i])
                tree.append(it.key());
    tree.removeFirst();
    return tree;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int later = argc > 1 ? std::atoi(argv[1]) : 5;
    QTcpServer server;
    Serve(server);
    if (!server.listen(QHostAddress::LocalHost, 0))
        return 1;
    const auto url = [&server](const QByteArray& path) {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server.serverPort()).arg(QString::fromLatin1(path));
    };

    BrowserWindowProxy proxy(QStringLiteral(QUELM_BENCH_HELPER));
    const qint64 start = Bench::NowNs();
    proxy.Show();   // a built-in search shows the window first, then navigates
    const qint64 shown = Bench::NowNs();
    proxy.Navigate(url("/first"));
    const qint64 returned = Bench::NowNs();
    if (!WaitFor("/first", 60000)) {
        std::fprintf(stderr, "bench_navigate: the first request never arrived\n");
        return 1;
    }
    Bench::Report(QStringLiteral("navigate:first"),
                  {{QStringLiteral("call_us"), (returned - start) / 1000.0},
                   {QStringLiteral("show_us"), (shown - start) / 1000.0},
                   {QStringLiteral("navigate_us"), (returned - shown) / 1000.0},
                   {QStringLiteral("request_ms"), (g_requests.value("/first") - start) / 1e6}});

    std::vector<double> calls, requests;
    for (int i = 0; i < later; ++i) {
        Idle(500);
        const QByteArray path = "/later" + QByteArray::number(i);
        const qint64 t0 = Bench::NowNs();
        proxy.Navigate(url(path));
        const qint64 t1 = Bench::NowNs();
        if (!WaitFor(path, 20000))
            return 1;
        calls.push_back((t1 - t0) / 1000.0);
        requests.push_back((g_requests.value(path) - t0) / 1e6);
    }
    // The fastest call shows the round trip itself; the median what a shared machine adds to it.
    Bench::Report(QStringLiteral("navigate:later"), {{QStringLiteral("call_us"), Bench::Median(calls)},
                                                      {QStringLiteral("call_min_us"), *std::min_element(calls.begin(), calls.end())},
                                                      {QStringLiteral("request_ms"), Bench::Median(requests)}});

    Idle(2000);   // the page is drawn and the engine settles
    long rss = 0, pss = 0;
    const QList<long> tree = Descendants();
    for (long pid : tree) {
        rss += Bench::StatusKb(pid, "VmRSS");
        pss += SmapsKb(pid, "Pss");
    }
    Bench::Report(QStringLiteral("navigate:memory"), {{QStringLiteral("processes"), double(tree.size())},
                                                       {QStringLiteral("rss_kb"), double(rss)},
                                                       {QStringLiteral("pss_kb"), double(pss)}});
    return 0;
}
