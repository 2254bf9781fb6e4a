#pragma once

#include <functional>

class QWidget;

namespace morvex {

/// Click callbacks of a view or label.
class Event
{
public:
    using Block = std::function<void()>;

    explicit Event(QWidget* base);

    QWidget* base() const { return m_base; }

    const Block& signleClickBlock() const { return m_signleClickBlock; }
    void setSignleClickBlock(Block block) { m_signleClickBlock = std::move(block); }

    const Block& doubleClickBlock() const { return m_doubleClickBlock; }
    void setDoubleClickBlock(Block block) { m_doubleClickBlock = std::move(block); }

    /// The release of the `clickCount`-th click in a row: 1 runs `signleClickBlock`, 2 runs
    /// `doubleClickBlock`, any other count nothing.
    void dispatch(int clickCount) const;

private:
    QWidget* m_base;
    Block m_signleClickBlock;
    Block m_doubleClickBlock;
};

} // namespace morvex
