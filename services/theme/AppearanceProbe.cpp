#include "AppearanceProbe.h"

#include "PaletteAppearanceProbe.h"
#include "PortalAppearanceProbe.h"

namespace morvex {

AppearanceProbe::~AppearanceProbe() = default;

std::unique_ptr<AppearanceProbe> AppearanceProbe::createDefault()
{
    if (QDBusConnection::sessionBus().isConnected()) {
        auto portal = std::make_unique<PortalAppearanceProbe>(QDBusConnection::sessionBus());
        if (portal->isAvailable()) {
            return portal;
        }
    }
    return std::make_unique<PaletteAppearanceProbe>();
}

} // namespace morvex
