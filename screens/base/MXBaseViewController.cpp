#include "MXBaseViewController.h"

#include "NSAppleInterfaceTheme.h"
#include "Notify.h"
#include "morvex/BKLog.h"

namespace morvex {

MXBaseViewController::MXBaseViewController(QWidget* parent) : QWidget(parent)
{
    NSAppleInterfaceTheme::shared().subscribe(this, [this](bool) { _systemInterfaceThemeChanged(); });
}

MXBaseViewController::~MXBaseViewController()
{
    NSAppleInterfaceTheme::shared().unsubscribe(this);
    Notify::shared().remove(this);
    if (bkLogEnabled()) {
        const QString description = QStringLiteral("%1(0x%2)")
                                        .arg(QString::fromLatin1(metaObject()->className()))
                                        .arg(reinterpret_cast<quintptr>(this), 0, 16);
        BKLog(QString(QStringLiteral("deinit ") + description).toStdString(), "deinit");
    }
}

void MXBaseViewController::_systemInterfaceThemeChanged()
{
    systemInterfaceThemeChanged(NSAppleInterfaceTheme::shared().isLight());
}

void MXBaseViewController::systemInterfaceThemeChanged(bool) {}

} // namespace morvex
