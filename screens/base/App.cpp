#include "App.h"

#include "Notify.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace morvex {

App::App(Notify& bus, QObject* parent) : QObject(parent), m_bus(bus)
{
    if (auto* application = qobject_cast<QApplication*>(QCoreApplication::instance()))
        m_observation = connect(application, &QApplication::focusChanged, this, &App::focusChanged);
}

App::~App()
{
    disconnect(m_observation);
}

App& App::shared()
{
    // Owned by the application object; made again if that object has been replaced (as between tests).
    static QPointer<App> app;
    if (!app)
        app = new App(Notify::shared(), QCoreApplication::instance());
    return *app;
}

QString App::didChangedFirstResponder()
{
    return QStringLiteral("didChangedFirstResponder");
}

void App::focusChanged(QWidget*, QWidget* now)
{
    // A text view is its own scroll area in Qt; the focus may also sit on its viewport.
    QWidget* textArea = nullptr;
    for (QWidget* candidate = now; candidate && !textArea; candidate = candidate->parentWidget()) {
        if (qobject_cast<QPlainTextEdit*>(candidate) || qobject_cast<QTextEdit*>(candidate))
            textArea = candidate;
        if (candidate != now)
            break; // only the widget itself or its direct parent (the viewport case)
    }
    m_firstViewResponder = textArea;
    m_bus.post(didChangedFirstResponder());
}

} // namespace morvex
