#pragma once

#include "UIView.h"
#include <QPushButton>

#include <QDialog>
#include <QPointer>

namespace morvex {

/// The base of the dialogs and sheets: a window-modal dialog over the window that presents it.
///
/// Its content view is built when it is first needed (`loadView`, then `viewDidLoad`), so a caller can
/// configure controls before the view exists. `viewFirstDidAppear` runs once per controller, after its view
/// was first shown; `viewDidDisappear` runs each time it has been dismissed. A presented controller is
/// deleted once it has been dismissed.
class UIViewController : public QDialog
{
    Q_OBJECT

public:
    explicit UIViewController(QWidget* parent = nullptr);
    ~UIViewController() override;

    /// The content view, built on first call.
    QWidget* view();
    bool isViewLoaded() const { return m_view != nullptr; }
    void loadViewIfNeeded() { view(); }

    bool isFirstAppear() const { return m_isFirstAppear; }

    /// The content view when it is a kit view, else null.
    UIView* baseView();
    void showLoading();
    void hideLoading();

    /// The back button at the top left, built (hidden) on first call; it dismisses the controller.
    QPushButton* backbtn();

    /// Shows this controller as a sheet: window-modal over the window of `presenter`, not resizable, without
    /// a frame, at the top centre of the main window, which it dims and moves with. It is deleted after it
    /// has been dismissed.
    void presentAsSheet(QWidget* presenter);

    /// Closes the controller (the back button's action).
    void disappear();

    void done(int result) override;

protected:
    /// Makes the content view; the default is an empty kit view.
    virtual QWidget* loadView();
    virtual void viewDidLoad();
    virtual void viewFirstDidAppear();
    virtual void viewDidDisappear();

    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeOnAnchor();

    bool m_isFirstAppear = true;
    bool m_baseViewBuilt = false;
    bool m_dismissed = false;
    bool m_presented = false;
    QPointer<QWidget> m_view;
    QPointer<UIView> m_baseView;
    QPointer<QPushButton> m_backbtn;
    QPointer<QWidget> m_anchor;
    QPointer<QWidget> m_dimming;
};

} // namespace morvex
