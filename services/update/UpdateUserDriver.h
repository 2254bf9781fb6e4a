#pragma once

#include "AppVersion.h"
#include "Appcast.h"

#include <QString>

#include <functional>

namespace morvex {

/// What the user sees of update checks.
class UpdateUserDriver
{
public:
    virtual ~UpdateUserDriver();

    /// A check the user asked for is running; `cancel` stops waiting for it.
    virtual void showChecking(std::function<void()> cancel) = 0;
    /// The check has ended; whatever showChecking put up goes away.
    virtual void dismissChecking() = 0;
    virtual void showUpToDate(const AppVersion& current) = 0;
    virtual void showUpdateFound(const AppcastItem& item, const AppVersion& current) = 0;
    virtual void showError(const QString& error) = 0;
};

} // namespace morvex
