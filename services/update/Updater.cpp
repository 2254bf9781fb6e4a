#include "Updater.h"

#include "Deployment.h"
#include "VersionComparator.h"
#include "WebAddresses.h"

#include <QHostAddress>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace morvex {

namespace {

QString insecureAddressText()
{
    return Updater::tr("更新地址不安全");
}

QString networkErrorText(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::UnknownNetworkError:
        return Updater::tr("无法连接更新服务器");
    case QNetworkReply::TimeoutError:
        return Updater::tr("连接超时");
    case QNetworkReply::SslHandshakeFailedError:
        return Updater::tr("安全连接失败");
    case QNetworkReply::TooManyRedirectsError:
        return Updater::tr("重定向次数过多");
    case QNetworkReply::InsecureRedirectError:
        return insecureAddressText();
    default:
        return Updater::tr("网络错误");
    }
}

} // namespace

UpdaterConfiguration UpdaterConfiguration::standard()
{
    UpdaterConfiguration configuration;
    configuration.feedUrl = WebAddresses::appcast();
    configuration.current = AppVersion::current();
    configuration.enabled = MORVEX_UPDATE_CHECK;
    configuration.preferences = &KeyValueStore::shared();
    return configuration;
}

Updater::Updater(UpdaterConfiguration configuration, QObject* parent)
    : QObject(parent), m_configuration(std::move(configuration))
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] { abortWith(tr("连接超时")); });
}

Updater::~Updater()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        delete m_reply.data();
    }
}

void Updater::checkForUpdatesInBackground()
{
    start(false);
}

void Updater::checkForUpdates()
{
    start(true);
}

bool Updater::isAllowedUrl(const QUrl& url, bool allowLoopbackHttp)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == u"https")
        return true;
    if (scheme != u"http" || !allowLoopbackHttp)
        return false;
    const QString host = url.host().toLower();
    return host == u"localhost" || QHostAddress(host).isLoopback();
}

UpdateCheckResult Updater::evaluate(const QByteArray& feed, const AppVersion& current, bool allowLoopbackHttp)
{
    UpdateCheckResult result;
    const auto appcast =
        Appcast::parse(feed, [allowLoopbackHttp](const QUrl& url) { return isAllowedUrl(url, allowLoopbackHttp); });
    if (!appcast) {
        result.kind = UpdateCheckResult::Kind::failed;
        result.error = tr("更新信息格式不正确");
        return result;
    }
    const AppcastItem* newest = appcast->newest();
    result.kind = UpdateCheckResult::Kind::upToDate;
    if (!newest)
        return result;
    // The short version decides; the build number only between builds of the same short version.
    const int shortOrder = VersionComparator::compare(newest->shortVersion, current.shortVersion);
    const bool newer =
        shortOrder > 0 || (shortOrder == 0 && VersionComparator::compare(newest->version, current.build) > 0);
    if (newer) {
        result.kind = UpdateCheckResult::Kind::updateAvailable;
        result.item = *newest;
    }
    return result;
}

void Updater::start(bool userInitiated)
{
    if (isChecking()) {
        // Joining a running check: a user who asked wants to see its result.
        if (userInitiated && !m_userInitiated) {
            m_userInitiated = true;
            Q_EMIT checkStarted(true);
        }
        return;
    }
    m_userInitiated = userInitiated;
    m_received.clear();
    m_abortReason.clear();
    Q_EMIT checkStarted(userInitiated);

    if (!m_configuration.enabled) {
        failSoon(tr("此版本不检查更新"));
        return;
    }
    if (!isAllowedUrl(m_configuration.feedUrl, m_configuration.allowLoopbackHttp)) {
        failSoon(insecureAddressText());
        return;
    }

    m_redirects = 0;
    m_deadline.start(m_configuration.timeout);
    send(m_configuration.feedUrl);
}

void Updater::send(const QUrl& url)
{
    m_received.clear();
    QNetworkRequest request(url);
    // Redirects are followed here rather than by Qt, so that every hop is checked and counted the same way.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setHeader(
        QNetworkRequest::UserAgentHeader,
        QStringLiteral("Morvex/%1 (%2)").arg(m_configuration.current.shortVersion, m_configuration.current.build));
    m_reply = m_network.get(request);
    QNetworkReply* reply = m_reply;
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > m_configuration.maxFeedBytes)
            abortWith(tr("更新信息过大"));
    });
    connect(reply, &QNetworkReply::readyRead, this, &Updater::readAvailable);
    connect(reply, &QNetworkReply::finished, this, &Updater::replyFinished);
}

void Updater::failSoon(const QString& error)
{
    // Results always arrive after the call that asked for them has returned, as network results do.
    m_pendingFailure = true;
    QMetaObject::invokeMethod(
        this,
        [this, error] {
            m_pendingFailure = false;
            UpdateCheckResult result;
            result.error = error;
            finish(result);
        },
        Qt::QueuedConnection);
}

void Updater::readAvailable()
{
    if (!m_reply || !m_abortReason.isEmpty())
        return;
    const qint64 room = m_configuration.maxFeedBytes - m_received.size();
    if (m_reply->bytesAvailable() > room) {
        abortWith(tr("更新信息过大"));
        return;
    }
    m_received += m_reply->readAll();
}

void Updater::abortWith(const QString& error)
{
    if (!m_reply || !m_abortReason.isEmpty())
        return;
    m_abortReason = error;
    m_reply->abort(); // emits finished, which reports the reason
}

void Updater::replyFinished()
{
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    if (!reply)
        return;
    reply->deleteLater();

    UpdateCheckResult result;
    const QNetworkReply::NetworkError error = reply->error();
    // Errors Qt derives from an HTTP status are reported by that status; the others are network failures.
    const bool fromStatus =
        (error >= QNetworkReply::ContentAccessDenied && error <= QNetworkReply::UnknownContentError) ||
        error == QNetworkReply::ProtocolInvalidOperationError ||
        (error >= QNetworkReply::InternalServerError && error <= QNetworkReply::UnknownServerError);
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QVariant location = reply->attribute(QNetworkRequest::RedirectionTargetAttribute);
    if (m_abortReason.isEmpty() && status >= 300 && status <= 399 && location.isValid()) {
        const QUrl target = reply->url().resolved(location.toUrl());
        if (++m_redirects > m_configuration.maxRedirects) {
            result.error = tr("重定向次数过多");
        } else if (!isAllowedUrl(target, m_configuration.allowLoopbackHttp)) {
            result.error = insecureAddressText();
        } else {
            send(target);
            return;
        }
        m_deadline.stop();
        m_received.clear();
        finish(result);
        return;
    }
    m_deadline.stop();
    if (!m_abortReason.isEmpty()) {
        result.error = m_abortReason;
    } else if (error != QNetworkReply::NoError && !fromStatus) {
        result.error = networkErrorText(error);
    } else if (status < 200 || status > 299) {
        result.error = tr("服务器返回错误（HTTP %1）").arg(status);
    } else if (m_received.size() + reply->bytesAvailable() > m_configuration.maxFeedBytes) {
        result.error = tr("更新信息过大");
    } else {
        m_received += reply->readAll();
        result = evaluate(m_received, m_configuration.current, m_configuration.allowLoopbackHttp);
    }
    m_received.clear();
    finish(result);
}

void Updater::finish(const UpdateCheckResult& result)
{
    const bool userInitiated = std::exchange(m_userInitiated, false);
    Q_EMIT checkFinished(result, userInitiated);
}

} // namespace morvex
