#include "PaletteAppearanceProbe.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPalette>

namespace morvex {

PaletteAppearanceProbe::PaletteAppearanceProbe(QObject* parent) : AppearanceProbe(parent)
{
    if (auto* app = QCoreApplication::instance()) {
        app->installEventFilter(this);
    }
}

PaletteAppearanceProbe::~PaletteAppearanceProbe() = default;

QVariant PaletteAppearanceProbe::interfaceStyle() const
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        return {};
    }
    const QPalette palette = QGuiApplication::palette();
    if (palette.color(QPalette::Window).lightnessF() < palette.color(QPalette::WindowText).lightnessF()) {
        return QStringLiteral("Dark");
    }
    return {};
}

bool PaletteAppearanceProbe::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == QCoreApplication::instance() &&
        (event->type() == QEvent::ApplicationPaletteChange || event->type() == QEvent::ThemeChange)) {
        Q_EMIT changed();
    }
    return false;
}

} // namespace morvex
