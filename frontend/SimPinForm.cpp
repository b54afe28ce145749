#include "frontend/SimPinForm.h"

#include "engine/PinRows.h"

std::optional<FormRefusal> gRefusePin(const std::string& typed) {
    if (gIsPinCode(typed)) return std::nullopt;
    return FormRefusal{PinMsg::BadPin, FormField::PinCode};
}
