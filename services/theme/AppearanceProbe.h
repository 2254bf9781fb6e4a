#pragma once

#include <QObject>
#include <QVariant>

namespace morvex {

/// Where the system's light or dark preference comes from.
///
/// `interfaceStyle()` answers with the value of the "AppleInterfaceStyle" preference: the text "Dark" in the
/// dark appearance, and no value (an invalid QVariant) in the light one. A probe may answer with any other
/// value it finds; the reader decides what it means. `changed()` is emitted whenever the answer may differ.
class AppearanceProbe : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~AppearanceProbe() override;

    virtual QVariant interfaceStyle() const = 0;

Q_SIGNALS:
    void changed();
};

} // namespace morvex
