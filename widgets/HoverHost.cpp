#include "HoverHost.h"

namespace morvex {

void HoverHost::applyHighlightText(Highlight&) {}

void HoverHost::restoreNormalText() {}

} // namespace morvex
