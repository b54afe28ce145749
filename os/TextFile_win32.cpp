#include "os/TextFile.h"

#include <windows.h>

#include <string>

#include "os/Utf16_win32.h"

const char PathSeparator = '\\';

namespace {

WriteOutcome Failure(WriteStage stage) { return {stage, static_cast<uint32_t>(GetLastError())}; }

}  // namespace

// No sharing: a file that another program holds open fails the open with nothing
// truncated, and no one else can open it while it is being written.
WriteOutcome gWriteWholeFile(const std::string& path, const std::string& bytes) {
    const HANDLE file = CreateFileW(gToUtf16(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Failure(WriteStage::Open);
    DWORD written = 0;
    if (!bytes.empty() && !WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
        const WriteOutcome failed = Failure(WriteStage::Write);
        CloseHandle(file);
        return failed;
    }
    if (!CloseHandle(file)) return Failure(WriteStage::Close);
    return {};
}

// The new file is written beside the old one under a name of its own, then moved over it.
WriteOutcome gReplaceWholeFile(const std::string& path, const std::string& bytes) {
    const std::string temporary = path + "." + std::to_string(GetCurrentProcessId()) + ".tmp";
    const WriteOutcome written = gWriteWholeFile(temporary, bytes);
    if (written.Stage == WriteStage::Open) return written;
    if (written.Stage == WriteStage::Done &&
        MoveFileExW(gToUtf16(temporary).c_str(), gToUtf16(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return written;
    const WriteOutcome failed = written.Stage == WriteStage::Done ? Failure(WriteStage::Close) : written;
    DeleteFileW(gToUtf16(temporary).c_str());
    return failed;
}
