#pragma once
// The pieces every reader of a modem's "+NAME: value" answer needs: the value after the
// name, and a field tidied of the blanks and quotes that modems put around it.

#include <optional>
#include <string_view>
#include <vector>

// The text after "+NAME:" (blanks allowed before and after the colon); none when the line
// carries another name.
std::optional<std::string_view> gValueAfter(std::string_view line, std::string_view name);

// The field without blanks around it and without one pair of quotes around that.
std::string_view gTidyField(std::string_view field);

// The comma-separated fields of a value as the modem wrote them; "" gives one empty field.
std::vector<std::string_view> gFields(std::string_view value);

// Whether the field is quoted in the modem's text (before tidying).
bool gIsQuoted(std::string_view field);
