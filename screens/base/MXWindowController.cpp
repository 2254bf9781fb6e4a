#include "MXWindowController.h"

#include "MXBaseViewController.h"
#include "MXWindow.h"

namespace morvex {

MXWindowController::MXWindowController(MXBaseViewController* content, QObject* parent)
    : QObject(parent), m_window(std::make_unique<MXWindow>()), m_content(content)
{
    if (content)
        m_window->setCentralWidget(content);
}

MXWindowController::~MXWindowController() = default;

void MXWindowController::showWindow()
{
    if (m_window->isMinimized())
        m_window->showNormal();
    else
        m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

} // namespace morvex
