#include "FakeAppearanceProbe.h"

namespace morvex::test {

FakeAppearanceProbe::FakeAppearanceProbe(QVariant style, QObject* parent)
    : AppearanceProbe(parent), m_style(std::move(style))
{}

FakeAppearanceProbe::~FakeAppearanceProbe() = default;

void FakeAppearanceProbe::set(const QVariant& style)
{
    m_style = style;
    Q_EMIT changed();
}

} // namespace morvex::test
