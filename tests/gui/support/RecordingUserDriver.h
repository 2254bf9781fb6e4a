#pragma once

#include "UpdateUserDriver.h"

#include <QStringList>

namespace morvex::test {

/// Notes what the updater would have shown, in order.
class RecordingUserDriver : public UpdateUserDriver
{
public:
    explicit RecordingUserDriver(QStringList* log) : m_log(log) {}

    void showChecking(std::function<void()> cancel) override
    {
        m_cancel = std::move(cancel);
        m_log->append(QStringLiteral("checking"));
    }
    void dismissChecking() override { m_log->append(QStringLiteral("dismiss")); }
    void showUpToDate(const AppVersion&) override { m_log->append(QStringLiteral("up to date")); }
    void showUpdateFound(const AppcastItem& item, const AppVersion&) override
    {
        m_log->append(QStringLiteral("offer ") + item.shortVersion);
    }
    void showError(const QString& error) override { m_log->append(QStringLiteral("error ") + error); }

    void cancel()
    {
        if (m_cancel)
            m_cancel();
    }

private:
    QStringList* m_log;
    std::function<void()> m_cancel;
};

} // namespace morvex::test
