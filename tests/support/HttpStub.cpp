#include "HttpStub.h"

#include <QTcpSocket>

namespace vexa::test {

HttpStub::HttpStub()
{
    server_.listen(QHostAddress::LocalHost);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Serve(socket); });
        }
    });
}

QUrl HttpStub::Url(const QString& path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path));
}

void HttpStub::Serve(QTcpSocket* socket)
{
    const QByteArray head = socket->peek(64 * 1024);
    if (!head.contains("\r\n\r\n"))
        return;
    socket->read(head.indexOf("\r\n\r\n") + 4);
    const QString path = QString::fromLatin1(head.split(' ').value(1));
    requests_ << path;
    const Answer answer = answers_.value(path, Answer{404, "Not Found"});
    if (answer.silent)
        return;
    QByteArray reply = "HTTP/1.1 " + QByteArray::number(answer.status) +
                       (answer.status == 200 ? " OK" : " Other") + "\r\n";
    if (!answer.location.isEmpty())
        reply += "Location: " + answer.location + "\r\n";
    reply += "Content-Length: " + QByteArray::number(answer.body.size()) +
             "\r\nConnection: close\r\n\r\n" + answer.body;
    socket->write(reply);
    socket->disconnectFromHost();
}

} // namespace vexa::test
