#pragma once

#include "AppearanceProbe.h"

namespace morvex {

/// Tells light from dark by the application palette: dark when the window background is darker than its
/// text. Follows palette and theme changes of the application. The fallback where no portal answers.
class PaletteAppearanceProbe : public AppearanceProbe
{
    Q_OBJECT

public:
    explicit PaletteAppearanceProbe(QObject* parent = nullptr);
    ~PaletteAppearanceProbe() override;

    QVariant interfaceStyle() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace morvex
