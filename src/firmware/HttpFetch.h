#pragma once

#include "platform/Clock.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QString>
#include <QUrl>
#include <functional>

class QIODevice;
class QNetworkReply;

namespace vexa {

struct FetchResult {
    bool ok = false;
    // The HTTP status of the last answer; 0 when none arrived.
    int status = 0;
    // Why the transfer failed, worded for the user; empty on success.
    QString error;
    // The address that gave the last answer, after redirects.
    QUrl url;
};

// GET over HTTP or HTTPS, redirects followed (never from HTTPS down to
// HTTP). Waits with the event loop running, so windows repaint; the
// time-out is counted on the Clock from the request to the last byte.
class HttpFetcher {
public:
    static constexpr int DefaultTimeoutMs = 15000;
    // Update lists and HEX images are far smaller; anything bigger is not one.
    static constexpr qint64 MaxBytes = 4 * 1024 * 1024;

    explicit HttpFetcher(Clock& clock, int timeoutMs = DefaultTimeoutMs);

    // The body, when the answer was 200.
    FetchResult Get(const QUrl& url, QByteArray& body);
    // Writes the body to file as it arrives; what it holds after a failure is of no use.
    FetchResult GetToFile(const QUrl& url, QIODevice& file);
    // Ends a running transfer as failed.
    void Abort();
    bool Busy() const { return reply_ != nullptr; }

private:
    FetchResult Run(const QUrl& url, const std::function<bool(const QByteArray&)>& sink);

    Clock& clock_;
    int timeoutMs_;
    QNetworkAccessManager manager_;
    QNetworkReply* reply_ = nullptr;
    bool aborted_ = false;
};

} // namespace vexa
