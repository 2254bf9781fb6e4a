#pragma once

namespace morvex {

class HoverHost;

/// The hover logic of a control: lays the highlight over the normal look when the pointer enters and
/// puts the normal look back when it leaves.
class TrackingArea
{
public:
    explicit TrackingArea(HoverHost* base);

    HoverHost* base() const { return m_base; }

    /// Highlight values that fail their test (no colour, width or radius 0) leave the layer as it is.
    void mouseEntered();
    /// Puts every normal layer value back, absent colours and zero sizes included.
    void mouseExited();

private:
    HoverHost* m_base;
};

} // namespace morvex
