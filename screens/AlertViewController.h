#pragma once

#include "UIButton.h"
#include "UILabel.h"

#include "UIViewController.h"

#include <QPointer>
#include <QUrl>

#include <functional>

namespace morvex {

/// The one-button message sheet in the accent colour: a white one-line title, a grey detail text that
/// wraps, and a button at the bottom right that closes it.
class AlertViewController : public UIViewController
{
    Q_OBJECT

public:
    static constexpr int width = 640;
    static constexpr int height = 180;

    explicit AlertViewController(QWidget* parent = nullptr);
    ~AlertViewController() override;

    /// Shows a new alert as a sheet over the window of `from` and returns at once. It replaces the alert
    /// that was shown before, if any.
    static void show(const QString& title, const QString& detail, const QString& button, QWidget* from);
    /// The same with a second button left of `cancel` that closes it and then runs `confirmed`.
    static void ask(const QString& title, const QString& detail, const QString& confirm, const QString& cancel,
                    QWidget* from, std::function<void()> confirmed);

    /// Opens `url` in the browser; when it cannot, an alert over `from` says so and gives the address.
    static void openLink(const QUrl& url, QWidget* from);
    static void showLinkFailure(const QUrl& url, QWidget* from);

    /// The alert on screen now; null once it has closed.
    static AlertViewController* current();

    UIButton* cancelBtn();
    /// Null unless the alert asks.
    UIButton* confirmBtn() const { return m_confirmBtn; }
    UILabel* titleLabel();
    UILabel* msgLabel();

protected:
    QWidget* loadView() override;
    void viewDidLoad() override;
    void viewDidDisappear() override;

private:
    QPointer<UIButton> m_cancelBtn;
    QPointer<UIButton> m_confirmBtn;
    std::function<void()> m_confirmed;
    bool m_isConfirmed = false;
    QPointer<UILabel> m_titleLabel;
    QPointer<UILabel> m_msgLabel;
};

} // namespace morvex
