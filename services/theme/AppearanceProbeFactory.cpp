#include "AppearanceProbeFactory.h"

#include "PaletteAppearanceProbe.h"
#include "PortalAppearanceProbe.h"

namespace morvex {

std::unique_ptr<AppearanceProbe> createDefaultAppearanceProbe()
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
