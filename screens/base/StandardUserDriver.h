#pragma once

#include "UpdateUserDriver.h"

#include <QCoreApplication>
#include <QPointer>

#include <QMessageBox>

namespace morvex {

/// The update windows: a small "checking" box, the result, and the offer of a newer version with its notes
/// and a button that opens the download page in the browser.
class StandardUserDriver : public UpdateUserDriver
{
    Q_DECLARE_TR_FUNCTIONS(morvex::StandardUserDriver)

public:
    ~StandardUserDriver() override;

    void showChecking(std::function<void()> cancel) override;
    void dismissChecking() override;
    void showUpToDate(const AppVersion& current) override;
    void showUpdateFound(const AppcastItem& item, const AppVersion& current) override;
    void showError(const QString& error) override;

    /// The window on screen now, if any (for tests and for raising it again).
    QMessageBox* current() const { return m_box; }

    /// The texts the windows show.
    static QString upToDateText(const AppVersion& current);
    static QString updateFoundText(const AppcastItem& item, const AppVersion& current);

private:
    QMessageBox* makeBox(const QString& text);
    void replace(QMessageBox* box);

    QPointer<QMessageBox> m_box;
    QPointer<QMessageBox> m_checking;
};

} // namespace morvex
