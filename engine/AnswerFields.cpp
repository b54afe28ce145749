#include "engine/AnswerFields.h"

namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

}  // namespace

std::optional<std::string_view> gValueAfter(std::string_view line, std::string_view name) {
    line = Trimmed(line);
    if (line.substr(0, name.size()) != name) return std::nullopt;
    line = Trimmed(line.substr(name.size()));
    if (line.empty() || line.front() != ':') return std::nullopt;
    return Trimmed(line.substr(1));
}

bool gIsQuoted(std::string_view field) {
    field = Trimmed(field);
    return field.size() >= 2 && field.front() == '"' && field.back() == '"';
}

std::string_view gTidyField(std::string_view field) {
    field = Trimmed(field);
    if (gIsQuoted(field)) field = Trimmed(field.substr(1, field.size() - 2));
    return field;
}

std::vector<std::string_view> gFields(std::string_view value) {
    std::vector<std::string_view> fields;
    for (;;) {
        const size_t comma = value.find(',');
        fields.push_back(value.substr(0, comma));
        if (comma == std::string_view::npos) return fields;
        value.remove_prefix(comma + 1);
    }
}
