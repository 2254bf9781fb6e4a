#pragma once

#include "UpdateUserDriver.h"
#include "Updater.h"

#include <QObject>

#include <memory>

namespace morvex {

/// The updater and the windows that show its checks: a check the user asked for shows checking, then the
/// result (up to date, the offer, or a short error); a background check shows only the offer of a newer
/// version and is otherwise silent.
class StandardUpdaterController : public QObject
{
    Q_OBJECT

public:
    StandardUpdaterController(UpdaterConfiguration configuration, std::unique_ptr<UpdateUserDriver> userDriver,
                              QObject* parent = nullptr);
    ~StandardUpdaterController() override;

    Updater* updater() { return &m_updater; }

    /// Whether the check five seconds after start runs: the build allows checks and the user has not switched
    /// them off. Read afresh each time, so a change in another running copy counts too.
    bool automaticallyChecksForUpdates() const;
    /// Remembers the user's choice; returns false when it could not be stored.
    bool setAutomaticallyChecksForUpdates(bool on);
    UpdateUserDriver& userDriver() { return *m_userDriver; }

private:
    void started(bool userInitiated);
    void finished(const UpdateCheckResult& result, bool userInitiated);

    Updater m_updater;
    std::unique_ptr<UpdateUserDriver> m_userDriver;
    bool m_showingChecking = false;
    bool m_cancelled = false;
};

} // namespace morvex
