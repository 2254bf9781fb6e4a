#pragma once

#include <QWidget>

namespace morvex {

class MaterialProgress;

/// A transparent overlay that holds one 100 × 100 progress ring, centres it when started, and keeps
/// clicks from reaching what lies beneath.
class ProgressView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int ringSize = 100;

    /// With a zero frame.
    explicit ProgressView(QWidget* parent = nullptr);
    ProgressView(const QRect& frame, QWidget* parent = nullptr);
    ~ProgressView() override;

    MaterialProgress& progress();

    /// Centres the ring in the current bounds, shows the overlay and starts the ring's animations
    /// (without touching its `animate` flag, so the stroke cycle plays once).
    void start();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    MaterialProgress* m_progress = nullptr;
};

} // namespace morvex
