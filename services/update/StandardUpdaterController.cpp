#include "StandardUpdaterController.h"

#include "morvex/BKLog.h"

#include <string_view>

namespace morvex {

StandardUpdaterController::StandardUpdaterController(UpdaterConfiguration configuration,
                                                     std::unique_ptr<UpdateUserDriver> userDriver, QObject* parent)
    : QObject(parent), m_updater(std::move(configuration)), m_userDriver(std::move(userDriver))
{
    connect(&m_updater, &Updater::checkStarted, this, &StandardUpdaterController::started);
    connect(&m_updater, &Updater::checkFinished, this, &StandardUpdaterController::finished);
}

StandardUpdaterController::~StandardUpdaterController() = default;

namespace {

constexpr std::string_view automaticChecksKey = "AutomaticUpdateChecks";

} // namespace

bool StandardUpdaterController::automaticallyChecksForUpdates() const
{
    const UpdaterConfiguration& configuration = m_updater.configuration();
    if (!configuration.enabled)
        return false;
    // Only an explicit "no" switches them off: an unreadable store keeps the checks on.
    return !configuration.preferences || configuration.preferences->string(automaticChecksKey) != "false";
}

bool StandardUpdaterController::setAutomaticallyChecksForUpdates(bool on)
{
    KeyValueStore* preferences = m_updater.configuration().preferences;
    return preferences && !preferences->set(on ? "true" : "false", automaticChecksKey);
}

void StandardUpdaterController::started(bool userInitiated)
{
    if (!userInitiated)
        return;
    m_cancelled = false;
    m_showingChecking = true;
    m_userDriver->showChecking([this] {
        // The request runs on; its answer is simply no longer shown.
        m_cancelled = true;
        m_showingChecking = false;
    });
}

void StandardUpdaterController::finished(const UpdateCheckResult& result, bool userInitiated)
{
    if (m_showingChecking) {
        m_showingChecking = false;
        m_userDriver->dismissChecking();
    }
    const bool cancelled = std::exchange(m_cancelled, false);
    const AppVersion& current = m_updater.configuration().current;
    switch (result.kind) {
    case UpdateCheckResult::Kind::updateAvailable:
        if (!cancelled)
            m_userDriver->showUpdateFound(result.item, current);
        break;
    case UpdateCheckResult::Kind::upToDate:
        if (userInitiated && !cancelled)
            m_userDriver->showUpToDate(current);
        break;
    case UpdateCheckResult::Kind::failed:
        if (userInitiated && !cancelled)
            m_userDriver->showError(result.error);
        else
            BKLog(QString(QStringLiteral("update check failed: ") + result.error).toStdString(),
                  "checkForUpdatesInBackground");
        break;
    }
}

} // namespace morvex
