#include "UpdateUserDriver.h"

namespace morvex {

UpdateUserDriver::~UpdateUserDriver() = default;

} // namespace morvex
