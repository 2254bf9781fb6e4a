#include "MXBaseView.h"

#include "NSAppleInterfaceTheme.h"
#include "Notify.h"

namespace morvex {

MXBaseView::MXBaseView(QWidget* parent) : QWidget(parent)
{
    NSAppleInterfaceTheme::shared().subscribe(this, [this](bool) { _systemInterfaceThemeChanged(); });
}

MXBaseView::~MXBaseView()
{
    NSAppleInterfaceTheme::shared().unsubscribe(this);
    Notify::shared().remove(this);
}

void MXBaseView::_systemInterfaceThemeChanged()
{
    systemInterfaceThemeChanged(NSAppleInterfaceTheme::shared().isLight());
}

void MXBaseView::systemInterfaceThemeChanged(bool) {}

} // namespace morvex
