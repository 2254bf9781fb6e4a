#pragma once

#include "AppearanceProbe.h"

namespace morvex::test {

/// An appearance probe the test sets by hand; `set` emits `changed` like a system switch would.
class FakeAppearanceProbe : public AppearanceProbe
{
    Q_OBJECT

public:
    explicit FakeAppearanceProbe(QVariant style = {}) : m_style(std::move(style)) {}

    QVariant interfaceStyle() const override { return m_style; }

    void set(const QVariant& style)
    {
        m_style = style;
        Q_EMIT changed();
    }
    void setDark() { set(QStringLiteral("Dark")); }
    void setLight() { set(QVariant()); }

private:
    QVariant m_style;
};

} // namespace morvex::test
