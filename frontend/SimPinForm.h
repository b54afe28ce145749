#pragma once
// The PIN dialog's rule, whichever window asks: OK takes 4 to 8 decimal digits and
// nothing else (a paste gets past a field that takes digits only), so that a malformed
// PIN never reaches the job.

#include <optional>
#include <string>

#include "frontend/FormRefusal.h"

// Why typed is refused, or nothing when the job may send it.
std::optional<FormRefusal> gRefusePin(const std::string& typed);
