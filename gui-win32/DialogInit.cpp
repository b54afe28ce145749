#include "gui-win32/DialogInit.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "engine/Cp1251.h"
#include "gui-win32/Resource.h"
#include "os/Utf16_win32.h"

namespace {

// The message of a record that adds a drop-down entry, as the 16-bit API numbered it.
constexpr uint16_t AddEntryMessage = 0x403;

template <class T> T ReadAt(const uint8_t* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

}  // namespace

void gApplyDialogInit(HWND dialog, HINSTANCE instance, int layoutId) {
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(layoutId), MAKEINTRESOURCEW(RT_DIALOG_INIT));
    if (!found) return;
    const auto* at = static_cast<const uint8_t*>(LockResource(LoadResource(instance, found)));
    if (!at) return;
    const uint8_t* const end = at + SizeofResource(instance, found);

    // Records are packed without alignment: a count may be odd.
    while (end - at >= 8) {
        const uint16_t control = ReadAt<uint16_t>(at);
        if (control == 0) return;
        const uint16_t message = ReadAt<uint16_t>(at + 2);
        const uint32_t count = ReadAt<uint32_t>(at + 4);
        at += 8;
        if (count > static_cast<size_t>(end - at)) return;
        if (message == AddEntryMessage) {
            std::string bytes(reinterpret_cast<const char*>(at), count);
            bytes.resize(std::strlen(bytes.c_str()));
            SendDlgItemMessageW(dialog, control, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(gToUtf16(gCp1251ToUtf8(bytes)).c_str()));
        }
        at += count;
    }
}
