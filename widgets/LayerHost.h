#pragma once

#include "Layer.h"

class QWidget;

namespace morvex {

/// A control that paints a backing layer. Style records reach the layer of their owner through this.
class LayerHost
{
public:
    virtual ~LayerHost() = default;

    virtual Layer& backingLayer() = 0;
    /// Called after the layer was changed, so the control repaints.
    virtual void backingLayerChanged() = 0;

    /// The layer host behind `widget`, or null for a widget without a backing layer.
    static LayerHost* of(QWidget* widget);
};

} // namespace morvex
