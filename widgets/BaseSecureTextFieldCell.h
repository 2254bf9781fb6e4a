#pragma once

#include "BaseTextFieldCell.h"

namespace morvex {

/// The cell of a secure UITextField: laid out like BaseTextFieldCell, showing a mask instead of the text.
class BaseSecureTextFieldCell : public BaseTextFieldCell
{
public:
    bool isSecure() const override { return true; }
};

} // namespace morvex
