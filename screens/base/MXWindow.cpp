#include "MXWindow.h"

namespace morvex {

MXWindow::MXWindow(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Morvex"));
    setMinimumSize(760, 480);
    resize(1200, 760);
}

MXWindow::~MXWindow() = default;

} // namespace morvex
