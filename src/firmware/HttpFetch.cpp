#include "HttpFetch.h"

#include <QEventLoop>
#include <QIODevice>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace vexa {
namespace {

// How often the wait looks at the clock.
constexpr int PollMs = 20;
constexpr int MaxRedirects = 10;

QString StatusText(QNetworkReply& reply, int status)
{
    const QString reason =
        reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString().trimmed();
    return reason.isEmpty() ? QStringLiteral("The server answered %1.").arg(status)
                            : QStringLiteral("The server answered %1 %2.").arg(status).arg(reason);
}

} // namespace

HttpFetcher::HttpFetcher(Clock& clock, int timeoutMs) : clock_(clock), timeoutMs_(timeoutMs) {}

FetchResult HttpFetcher::Get(const QUrl& url, QByteArray& body)
{
    body.clear();
    return Run(url, [&body](const QByteArray& chunk) {
        body += chunk;
        return true;
    });
}

FetchResult HttpFetcher::GetToFile(const QUrl& url, QIODevice& file)
{
    return Run(url, [&file](const QByteArray& chunk) { return file.write(chunk) == chunk.size(); });
}

void HttpFetcher::Abort()
{
    if (reply_) {
        aborted_ = true;
        reply_->abort();
    }
}

FetchResult HttpFetcher::Run(const QUrl& url, const std::function<bool(const QByteArray&)>& sink)
{
    FetchResult result;
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        result.error =
            QStringLiteral("\"%1\" is not an http or https address.").arg(url.toDisplayString());
        return result;
    }
    if (reply_) {
        result.error = QStringLiteral("Another transfer is still running.");
        return result;
    }

    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(MaxRedirects);
    // A cached copy could be an older list than the one published.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);

    QNetworkReply* reply = manager_.get(request);
    reply_ = reply;
    aborted_ = false;
    bool timedOut = false;
    bool tooBig = false;
    bool writeFailed = false;
    qint64 received = 0;
    const std::int64_t deadline = clock_.NowMs() + timeoutMs_;

    QEventLoop loop;
    QTimer poll;
    poll.setInterval(PollMs);
    // Only a 200's body is the file; the bodies of redirects and error pages are not kept.
    auto take = [&] {
        const QByteArray chunk = reply->readAll();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (chunk.isEmpty() || status != 200)
            return;
        received += chunk.size();
        if (received > MaxBytes) {
            tooBig = true;
            reply->abort();
        } else if (!sink(chunk)) {
            writeFailed = true;
            reply->abort();
        }
    };
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, take);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (clock_.NowMs() >= deadline) {
            timedOut = true;
            reply->abort();
        }
    });
    poll.start();
    if (!reply->isFinished())
        loop.exec();
    poll.stop();
    if (!tooBig && !writeFailed && !timedOut && !aborted_)
        take();

    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.url = reply->url();
    if (timedOut)
        result.error = QStringLiteral("The server did not answer within %1 s.")
                           .arg(timeoutMs_ / 1000.0, 0, 'g', 3);
    else if (tooBig)
        result.error = QStringLiteral("The file is larger than %1 bytes.").arg(MaxBytes);
    else if (writeFailed)
        result.error = QStringLiteral("The downloaded file could not be written.");
    else if (aborted_)
        result.error = QStringLiteral("The transfer was cancelled.");
    else if (result.status != 0 && result.status != 200)
        result.error = StatusText(*reply, result.status);
    else if (reply->error() != QNetworkReply::NoError)
        result.error = reply->errorString();
    else if (result.status != 200)
        result.error = QStringLiteral("The server's answer was not understood.");
    else
        result.ok = true;

    reply_ = nullptr;
    reply->deleteLater();
    return result;
}

} // namespace vexa
