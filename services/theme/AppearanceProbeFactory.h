#pragma once

#include "AppearanceProbe.h"

#include <memory>

namespace morvex {

/// The probe that fits this system: the desktop portal when one answers, else the Qt palette.
std::unique_ptr<AppearanceProbe> createDefaultAppearanceProbe();

} // namespace morvex
