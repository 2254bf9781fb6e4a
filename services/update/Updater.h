#pragma once

#include "AppVersion.h"
#include "Appcast.h"
#include "morvex/KeyValueStore.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <chrono>

namespace morvex {

/// Where and how the updater looks for new versions.
struct UpdaterConfiguration
{
    QUrl feedUrl;
    AppVersion current;
    /// The whole check, from request to last byte.
    std::chrono::milliseconds timeout{std::chrono::seconds(20)};
    qint64 maxFeedBytes = qint64{1024} * 1024;
    int maxRedirects = 5;
    /// Plain http to 127.0.0.1, ::1 or localhost; for tests against a local server only.
    bool allowLoopbackHttp = false;
    /// False in builds configured with MORVEX_UPDATE_CHECK=OFF: nothing is ever fetched.
    bool enabled = true;
    /// Where the choice of automatic checks is remembered; without one they are always on.
    KeyValueStore* preferences = nullptr;

    /// The feed of WebAddresses, the running version, the build's choice and the user's store.
    static UpdaterConfiguration standard();
};

/// The outcome of one check.
struct UpdateCheckResult
{
    enum class Kind
    {
        upToDate,
        updateAvailable,
        failed
    };

    Kind kind = Kind::failed;
    /// The offered version when `kind` is updateAvailable.
    AppcastItem item;
    /// A short reason, fit to show, when `kind` is failed.
    QString error;
};

/// Checks the appcast feed for a newer version.
///
/// Only https addresses are followed (the feed, every redirect and the download link), a feed larger than
/// `maxFeedBytes` or slower than `timeout` is given up, and at most `maxRedirects` redirects are followed.
/// One check runs at a time; asking again while one runs joins it.
class Updater : public QObject
{
    Q_OBJECT

public:
    explicit Updater(UpdaterConfiguration configuration, QObject* parent = nullptr);
    ~Updater() override;

    /// A check nobody asked for: its result is meant to stay silent unless a newer version exists.
    void checkForUpdatesInBackground();
    /// A check the user asked for: every result is meant to be shown.
    void checkForUpdates();

    bool isChecking() const { return m_reply != nullptr || m_pendingFailure; }
    const UpdaterConfiguration& configuration() const { return m_configuration; }

    /// Whether the updater may fetch from or send the user to `url`.
    static bool isAllowedUrl(const QUrl& url, bool allowLoopbackHttp);

    /// What a downloaded feed means for the running version.
    static UpdateCheckResult evaluate(const QByteArray& feed, const AppVersion& current, bool allowLoopbackHttp);

Q_SIGNALS:
    void checkStarted(bool userInitiated);
    void checkFinished(const morvex::UpdateCheckResult& result, bool userInitiated);

private:
    void start(bool userInitiated);
    void send(const QUrl& url);
    void failSoon(const QString& error);
    void readAvailable();
    void replyFinished();
    void abortWith(const QString& error);
    void finish(const UpdateCheckResult& result);

    UpdaterConfiguration m_configuration;
    QNetworkAccessManager m_network;
    QPointer<QNetworkReply> m_reply;
    QTimer m_deadline;
    QByteArray m_received;
    QString m_abortReason;
    int m_redirects = 0;
    bool m_userInitiated = false;
    bool m_pendingFailure = false;
};

} // namespace morvex
