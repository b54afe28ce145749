#pragma once
// Writing a whole text file, one implementation per platform. The log export decides
// what to tell the operator; this layer only says what went wrong and the system's code.

#include <cstdint>
#include <string>

enum class WriteStage { Done, Open, Write, Close };

struct WriteOutcome {
    WriteStage Stage = WriteStage::Done;
    uint32_t Code = 0;  // the system's error code when Stage is not Done
};

// Creates or truncates the file, holds it exclusively while it is open, writes all the
// bytes and closes it. An open failure leaves no file behind that was not there before;
// bytes written before a write or close failure stay in the file.
WriteOutcome gWriteWholeFile(const std::string& path, const std::string& bytes);

// Replaces the file only once the new bytes are all written: they go to a new file beside
// it, which is then renamed over it, so a failure leaves the old file as it was and
// removes the new one. A file without write permission is refused (the rename would slip
// past it, even for root), so is a folder; a device or a pipe (/dev/stdout) is written
// in place, as it cannot be replaced.
WriteOutcome gReplaceWholeFile(const std::string& path, const std::string& bytes);

// The separator between a folder and the name in a path on this platform.
extern const char PathSeparator;
