#pragma once

#include <QMainWindow>

namespace morvex {

/// The main window. Closing it only hides it: the application keeps running until Quit.
class MXWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MXWindow(QWidget* parent = nullptr);
    ~MXWindow() override;
};

} // namespace morvex
