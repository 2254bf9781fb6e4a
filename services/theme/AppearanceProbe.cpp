#include "AppearanceProbe.h"

namespace morvex {

AppearanceProbe::~AppearanceProbe() = default;

} // namespace morvex
