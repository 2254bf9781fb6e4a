#include "Event.h"

namespace morvex {

Event::Event(QWidget* base) : m_base(base) {}

void Event::dispatch(int clickCount) const
{
    // Copies: a block may replace the blocks or delete the owner.
    if (clickCount == 2) {
        if (const Block block = m_doubleClickBlock) {
            block();
        }
    } else if (clickCount == 1) {
        if (const Block block = m_signleClickBlock) {
            block();
        }
    }
}

} // namespace morvex
