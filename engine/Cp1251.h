#pragma once
// A modem speaks single-byte code page 1251, and the saved log is written in it; the
// program's own texts are UTF-8.

#include <string>
#include <string_view>

// The UTF-8 form of cp1251 bytes. The one byte the code page leaves unassigned (0x98)
// becomes U+FFFD.
std::string gCp1251ToUtf8(std::string_view bytes);

// Code page 1251 bytes of a UTF-8 text; a character without a form there becomes "?".
// A character outside the basic plane counts once, as it does for the operator.
std::string gToCp1251(std::string_view utf8);
