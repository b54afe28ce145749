// What Explorer shows of both programs under "Properties > Details": their version
// resource, made from the project's version.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "os/Utf16_win32.h"

namespace {

// The folder above this test program's build folder.
std::wstring BuildFolder() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\')) + L"\\..\\..";
}

class VersionInfo {
public:
    explicit VersionInfo(const std::wstring& program) {
        DWORD ignored = 0;
        Data.resize(GetFileVersionInfoSizeW(program.c_str(), &ignored));
        if (Data.empty() || !GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(Data.size()), Data.data()))
            Data.clear();
    }
    bool Found() const { return !Data.empty(); }
    std::string Text(const wchar_t* name) const {
        void* value = nullptr;
        UINT length = 0;
        const std::wstring key = std::wstring(L"\\StringFileInfo\\041904B0\\") + name;
        if (!VerQueryValueW(Data.data(), key.c_str(), &value, &length) || length == 0) return {};
        return gFromUtf16(static_cast<const wchar_t*>(value), length - 1);
    }
    DWORD FileVersionMS() const {
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(Data.data(), L"\\", &value, &length)) return 0;
        return static_cast<const VS_FIXEDFILEINFO*>(value)->dwFileVersionMS;
    }

private:
    std::vector<char> Data;
};

TEST(VersionInfo, BothProgramsTellTheProductItsVersionAndThemselves) {
    const struct {
        const wchar_t* Path;
        std::string File;
        std::string Description;
    } programs[] = {
        {L"\\gui-win32\\kestrelix.exe", "kestrelix.exe", "Тервана: настройка GSM-модема"},
        {L"\\cli\\kestrelix-cli.exe", "kestrelix-cli.exe", "Тервана: настройка GSM-модема из командной строки"},
    };
    for (const auto& p : programs) {
        SCOPED_TRACE(p.File);
        const VersionInfo info(BuildFolder() + p.Path);
        ASSERT_TRUE(info.Found());
        EXPECT_EQ(info.Text(L"ProductName"), "Тервана");
        EXPECT_EQ(info.Text(L"ProductVersion"), KX_VERSION);
        EXPECT_EQ(info.Text(L"FileVersion"), KX_VERSION);
        EXPECT_EQ(info.FileVersionMS(), DWORD{KX_VERSION_MAJOR} << 16 | KX_VERSION_MINOR);
        EXPECT_EQ(info.Text(L"FileDescription"), p.Description);
        EXPECT_EQ(info.Text(L"OriginalFilename"), p.File);
        EXPECT_EQ(info.Text(L"CompanyName"), "Halvstad");
        EXPECT_EQ(info.Text(L"LegalCopyright"), "Copyright (C) Halvstad");
    }
}

}  // namespace
