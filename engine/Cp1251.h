#pragma once
// A modem speaks single-byte code page 1251; the operator's texts are UTF-8.

#include <string>
#include <string_view>

// The UTF-8 form of cp1251 bytes. The one byte the code page leaves unassigned (0x98)
// becomes U+FFFD.
std::string gCp1251ToUtf8(std::string_view bytes);
