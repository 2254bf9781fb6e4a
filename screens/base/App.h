#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace morvex {

class Notify;

/// Follows the keyboard focus: remembers the text area that has it and announces every change on the
/// notification bus as "didChangedFirstResponder".
class App : public QObject
{
    Q_OBJECT

public:
    /// Follows the focus of this application and posts on `bus`.
    explicit App(Notify& bus, QObject* parent = nullptr);
    ~App() override;

    /// The process-wide tracker on the application's bus, made at the first call.
    static App& shared();

    static QString didChangedFirstResponder();

    /// The scrolling text area that has the keyboard focus; null when the focus is elsewhere or nowhere.
    QWidget* firstViewResponder() const { return m_firstViewResponder; }

    /// What one focus change means; called for every change of the application's focus widget.
    void focusChanged(QWidget* old, QWidget* now);

private:
    Notify& m_bus;
    QPointer<QWidget> m_firstViewResponder;
    QMetaObject::Connection m_observation;
};

} // namespace morvex
