#pragma once

// A web server on loopback for the check's tests, answering by the request's path:
//   /status/<code>    that status, no body
//   /redirect/<n>     a 302 to /redirect/<n-1>, with a cookie; /redirect/0 is 200
//   /loop             a 302 to itself
//   /hang             never answers
//   /endless          200, then a body that never ends
//   /big              200 with a 10 MB body
// It also serves as an HTTP proxy: a request for another host's own path takes the path `hosts`
// names for that host, else otherHosts. It listens on every loopback address, so 127.0.0.<n> are separate hosts.

#include <QHash>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

class LocalHttpServer final : public QTcpServer
{
public:
    LocalHttpServer()
    {
        listen(QHostAddress::AnyIPv4);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { Read(socket); });
            }
        });
    }

    QString Url(const QString& path, const QString& host = QStringLiteral("127.0.0.1")) const
    {
        return QStringLiteral("http://%1:%2%3").arg(host).arg(serverPort()).arg(path);
    }

    QHash<QString, QString> hosts;     // for requests through the proxy: host → path
    QString otherHosts;                // the path for any other host through the proxy
    QList<QByteArray> requests;        // each request's head, as it came

private:
    void Read(QTcpSocket* socket)
    {
        QByteArray& head = m_heads[socket];
        head += socket->readAll();
        if (!head.contains("\r\n\r\n"))
            return;
        requests.append(head);
        const QUrl target(QString::fromLatin1(head.split(' ').value(1)));
        QString path = target.path();
        // Through the proxy, a path of the engine's own; a redirect's target is one of ours.
        static const QStringList ours{"status", "redirect", "loop", "hang", "endless", "big"};
        if (!target.host().isEmpty() && !ours.contains(path.section(u'/', 1, 1)))
            path = hosts.value(target.host(), otherHosts.isEmpty() ? path : otherHosts);
        head.clear();
        Answer(socket, path);
    }

    static void Answer(QTcpSocket* socket, const QString& path)
    {
        const QStringList parts = path.split(u'/');
        const QString what = parts.value(1);
        const int n = parts.value(2).toInt();
        if (what == QLatin1String("status")) {
            socket->write(QStringLiteral("HTTP/1.1 %1 Test\r\nContent-Length: 0\r\n\r\n").arg(n).toLatin1());
        } else if (what == QLatin1String("redirect") && n > 0) {
            socket->write(QStringLiteral("HTTP/1.1 302 Found\r\nLocation: /redirect/%1\r\nSet-Cookie: hop=%1\r\n"
                                         "Content-Length: 0\r\n\r\n")
                              .arg(n - 1)
                              .toLatin1());
        } else if (what == QLatin1String("redirect")) {
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n");
        } else if (what == QLatin1String("loop")) {
            socket->write("HTTP/1.1 302 Found\r\nLocation: /loop\r\nContent-Length: 0\r\n\r\n");
        } else if (what == QLatin1String("endless")) {
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n");
            auto* more = new QTimer(socket);
            connect(more, &QTimer::timeout, socket, [socket] { socket->write(QByteArray(64 * 1024, 'x')); });
            more->start(5);
        } else if (what == QLatin1String("big")) {
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: 10485760\r\n\r\n");
            socket->write(QByteArray(10 * 1024 * 1024, 'x'));
        }
        // /hang and anything else: no answer
    }

    QHash<QTcpSocket*, QByteArray> m_heads;
};
