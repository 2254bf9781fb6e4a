#pragma once

#include <QWidget>

namespace morvex {

/// The base of the main screen: follows the system's light and dark appearance, and leaves a line in the
/// debug log when it goes.
class MXBaseViewController : public QWidget
{
    Q_OBJECT

public:
    explicit MXBaseViewController(QWidget* parent = nullptr);
    ~MXBaseViewController() override;

    /// Reads the appearance now and hands it to the hook.
    void _systemInterfaceThemeChanged();

protected:
    /// Called once per appearance switch; does nothing here.
    virtual void systemInterfaceThemeChanged(bool isLight);
};

} // namespace morvex
