#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "AppVersion.h"
#include "StandardUpdaterController.h"
#include "UIViewController.h"

#include <QPointer>

namespace morvex {

/// The About sheet: the version, a manual update check with the switch for the automatic one, and links to the
/// forum and the home page. Builds without update checks show neither the button nor the switch.
class AboutViewController : public UIViewController
{
    Q_OBJECT

public:
    static constexpr int width = 520;
    static constexpr int height = 340;

    /// `updater` may be null: the update button then does nothing and the switch is not shown.
    explicit AboutViewController(StandardUpdaterController* updater, AppVersion version = AppVersion::current(),
                                 QWidget* parent = nullptr);
    ~AboutViewController() override;

    /// "V" + short version + "(" + build + ")", e.g. "V1.2.0(15)".
    static QString versionText(const AppVersion& version);

    QLabel* versionLabel() const { return m_versionLabel; }
    QPushButton* updateButton() const { return m_updateButton; }
    QCheckBox* automaticChecksSwitch() const { return m_automaticChecks; }
    QPushButton* bbsButton() const { return m_bbsButton; }
    QPushButton* webButton() const { return m_webButton; }

    void update(QObject* sender);
    void openBBS(QObject* sender);
    void openAppWeb(QObject* sender);

protected:
    QWidget* loadView() override;
    void viewDidLoad() override;

private:
    QPointer<StandardUpdaterController> m_updater;
    AppVersion m_version;
    QPointer<QLabel> m_versionLabel;
    QPointer<QPushButton> m_updateButton;
    QPointer<QCheckBox> m_automaticChecks;
    QPointer<QPushButton> m_bbsButton;
    QPointer<QPushButton> m_webButton;
};

} // namespace morvex
