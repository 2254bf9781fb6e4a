#pragma once

#include "LayerHost.h"

namespace morvex {

class Border;
class Background;
class Highlight;

/// A layer-backed control with a hover look; what its TrackingArea works on.
class HoverHost : public LayerHost
{
public:
    virtual Border& border() = 0;
    virtual Background& background() = 0;
    virtual Highlight& highlight() = 0;

    /// Font and title steps of entering; controls without a title have none.
    virtual void applyHighlightText(Highlight& highlight);
    /// Font and title steps of leaving.
    virtual void restoreNormalText();
};

} // namespace morvex
