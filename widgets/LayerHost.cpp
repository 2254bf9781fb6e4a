#include "LayerHost.h"

#include <QWidget>

namespace morvex {

LayerHost* LayerHost::of(QWidget* widget)
{
    return dynamic_cast<LayerHost*>(widget);
}

} // namespace morvex
