#pragma once

#include "UpdateUserDriver.h"

#include <QStringList>

namespace morvex::test {

/// Notes what the updater would have shown, in order; `cancel` is the user's cancel of a shown check.
class RecordingUserDriver : public UpdateUserDriver
{
public:
    explicit RecordingUserDriver(QStringList* log) : m_log(log) {}

    void showChecking(std::function<void()> cancel) override
    {
        m_cancel = std::move(cancel);
        *m_log << QStringLiteral("checking");
    }
    void dismissChecking() override { *m_log << QStringLiteral("dismiss"); }
    void showUpToDate(const AppVersion&) override { *m_log << QStringLiteral("up to date"); }
    void showUpdateFound(const AppcastItem& item, const AppVersion&) override
    {
        *m_log << u"offer " + item.shortVersion;
    }
    void showError(const QString& error) override { *m_log << u"error " + error; }
    void cancel() { m_cancel(); }

private:
    QStringList* m_log;
    std::function<void()> m_cancel;
};

} // namespace morvex::test
