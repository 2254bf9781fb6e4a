#pragma once

#include <QWidget>

namespace morvex {

/// A plain view that follows the system's light and dark appearance for as long as it exists.
class MXBaseView : public QWidget
{
    Q_OBJECT

public:
    explicit MXBaseView(QWidget* parent = nullptr);
    /// Leaves the appearance centre and the application bus before anything else goes.
    ~MXBaseView() override;

    /// Called once per appearance switch; reads the appearance and hands it to the hook.
    void _systemInterfaceThemeChanged();

protected:
    /// Does nothing here; a view that wants to react overrides it.
    virtual void systemInterfaceThemeChanged(bool isLight);
};

} // namespace morvex
