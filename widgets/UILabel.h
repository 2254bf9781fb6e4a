#pragma once

#include "ClickCounter.h"
#include "Event.h"
#include "UITextField.h"

#include <optional>

namespace morvex {

/// A read-only UITextField that reports single and double clicks and can let clicks pass through it.
class UILabel : public UITextField
{
    Q_OBJECT

public:
    explicit UILabel(QWidget* parent = nullptr);
    ~UILabel() override;

    /// Sets the field up, then makes it read-only: a label needs setEditable(true) after every set-up to
    /// take typing.
    void setupCell() override;

    Event& event();

    bool isIgnoresMouseEvents() const { return m_isIgnoresMouseEvents; }
    /// True lets every mouse event through to what lies beneath; the click callbacks then never run.
    void setIgnoresMouseEvents(bool ignores);

protected:
    using UITextField::event;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::optional<Event> m_event;
    bool m_isIgnoresMouseEvents = false;
    ClickCounter m_clicks;
};

} // namespace morvex
