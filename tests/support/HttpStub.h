#pragma once

#include <QByteArray>
#include <QMap>
#include <QStringList>
#include <QTcpServer>
#include <QUrl>

namespace vexa::test {

// A web server on the loopback interface for the update dialog's transfers.
// Paths answer as set; any other path is a 404.
class HttpStub final : public QObject {
public:
    struct Answer {
        int status = 200;
        QByteArray body;
        // Accept the request and never answer.
        bool silent = false;
        // A redirect's target.
        QByteArray location{};
    };

    HttpStub();
    void Set(const QString& path, const Answer& answer) { answers_[path] = answer; }
    QUrl Url(const QString& path) const;
    // The paths asked for, in order.
    const QStringList& Requests() const { return requests_; }

private:
    void Serve(class QTcpSocket* socket);

    QTcpServer server_;
    QMap<QString, Answer> answers_;
    QStringList requests_;
};

} // namespace vexa::test
