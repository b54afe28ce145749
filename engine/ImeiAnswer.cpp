#include "engine/ImeiAnswer.h"

#include "engine/AnswerFields.h"

namespace {

constexpr size_t ImeiDigits = 15;

}  // namespace

std::optional<std::string> gImei(std::string_view line) {
    for (const std::string_view name : {"+CGSN", "+GSN", "IMEI"}) {
        if (const std::optional<std::string_view> value = gValueAfter(line, name)) {
            line = *value;
            break;
        }
    }
    // The IMEI is the first field; what follows a comma is the modem's serial number. Some
    // modems name it once more inside the field: "+CGSN: IMEI354237065082227".
    std::string_view field = gTidyField(gFields(line).front());
    if (field.starts_with("IMEI")) {
        field.remove_prefix(4);
        while (!field.empty() && (field.front() == ':' || field.front() == '=')) field.remove_prefix(1);
        field = gTidyField(field);
    }
    if (field.size() != ImeiDigits || field.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    return std::string(field);
}
