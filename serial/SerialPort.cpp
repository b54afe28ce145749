#include "serial/SerialPort.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "os/ErrorText.h"
#include "os/Event.h"
#include "serial/ReplyParser.h"
#include "toolkit/Toolkit.h"

namespace {

const char* const InfoCaption = "Информация";

void ShowInfo(Toolkit* owner, const std::string& text) {
    if (owner) owner->ShowMessage(text, InfoCaption);
}

std::string WithCode(const char* format, uint32_t code) {
    char text[128];
    std::snprintf(text, sizeof text, format, static_cast<int>(code));
    return text;
}

// A control call of the driver: once more after an aborted attempt, with the line's
// error state cleared first; any other failure, or a second one, is shown and ends it.
template <typename Call> bool Control(SerialPort& port, Call call) {
    SysResult result = call();
    if (result.Kind == ErrorKind::Aborted) {
        port.ClearErrors();
        result = call();
    }
    if (result.Ok()) return true;
    gShowErrorText(result.Code, port.OwnerWindow);
    return false;
}

// A read or a write: once more after an aborted attempt (error state cleared) or a
// pending one; a second attempt that is pending again counts as done.
template <typename Attempt> SysResult Transfer(SerialPort& port, Attempt attempt) {
    SysResult result = attempt();
    if (result.Kind == ErrorKind::Aborted) {
        port.ClearErrors();
    } else if (result.Kind != ErrorKind::Pending) {
        return result;
    }
    result = attempt();
    return result.Kind == ErrorKind::Pending ? SysResult{} : result;
}

}  // namespace

SerialPort::SerialPort() : SerialPort(gMakeSystemSerialPlatform()) {}

SerialPort::SerialPort(std::unique_ptr<SerialPlatform> platform) : Platform(std::move(platform)) {}

SerialPort::~SerialPort() { Close(); }

void SerialPort::Pause(uint32_t ms) { Platform->Pause(ms, {StopEventRef, CancelEventRef}); }

uint32_t SerialPort::TickMs() { return Platform->TickMs(); }

int SerialPort::Open(int n) {
    Close();
    char name[20];
    std::snprintf(name, sizeof name, "\\\\.\\COM%d", n);
    for (int attempt = 0; attempt < 5; ++attempt) {
        Handle = Platform->OpenDevice(name);
        if (Handle != InvalidPortHandle) return 0;
        Platform->Pause(500, {StopEventRef, CancelEventRef});
        // A stop ends the attempts at once and, as a stopped reply does, shows nothing;
        // the event stays set for whoever looks next.
        if (StopEventRef && StopEventRef->IsSignalled()) return 1;
    }
    std::string text = "Последовательный порт не готов!Возможно, он занят другим приложением!";
    if (const std::string why = gOpenFailureLine(n, Platform->LastOpenFailure()); !why.empty()) text += "\n" + why;
    ShowInfo(OwnerWindow, text);
    return 1;
}

int SerialPort::Configure(uint32_t speed, uint8_t byteSize, uint8_t stopBits, uint8_t parity) {
    LineSettings line;
    if (!Control(*this, [&] { return Platform->GetLineSettings(Handle, line); })) return 1;
    line.BaudRate = speed;
    Speed = speed;
    line.ByteSize = byteSize;
    line.StopBits = stopBits;
    line.Parity = parity;
    line.Flags &= ~(LineFlag::DtrControlMask | LineFlag::RtsControlMask | LineFlag::OutxCtsFlow |
                    LineFlag::OutxDsrFlow | LineFlag::OutX | LineFlag::InX);
    line.Flags |= LineFlag::Binary | LineFlag::DtrControlEnable | LineFlag::RtsControlEnable;
    if (!Control(*this, [&] { return Platform->SetLineSettings(Handle, line); })) return 1;

    CommTimeouts timeouts;
    if (!Control(*this, [&] { return Platform->GetTimeouts(Handle, timeouts); })) return 1;
    timeouts.ReadIntervalTimeout = 5;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 100;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = 0;
    if (!Control(*this, [&] { return Platform->SetTimeouts(Handle, timeouts); })) return 1;

    if (!Control(*this, [&] { return Platform->SetEventMask(Handle, EventRxChar | EventBreak); })) return 1;
    return Purge(PurgeTxClear | PurgeRxClear);
}

int SerialPort::Purge(uint32_t flags) {
    return Control(*this, [&] { return Platform->Purge(Handle, flags); }) ? 0 : 1;
}

int SerialPort::Escape(uint32_t function) {
    return Control(*this, [&] { return Platform->EscapeFunction(Handle, function); }) ? 0 : 1;
}

void SerialPort::ClearErrors() { Platform->ClearLineErrors(Handle); }

int SerialPort::Write(const char* data, uint32_t length) {
    if (Escape(EscapeSetDtr) != 0) return 1;
    if (Escape(EscapeSetRts) != 0) return 1;
    const SysResult result = Transfer(*this, [&] {
        return Platform->Write(Handle, reinterpret_cast<const uint8_t*>(data), length, {nullptr, CancelEventRef});
    });
    if (result.Ok()) return 0;
    ShowInfo(OwnerWindow, WithCode("Ошибка выполнения WriteFile (код %d)!", result.Code));
    return 1;
}

ReplyCode SerialPort::ReadReply(const char* command, const char* expected, const char* alternative,
                                uint32_t timeoutMs, char* out, uint32_t heardTimeoutMs) {
    uint32_t limit = timeoutMs;
    LastHeard = {};
    return Gather(limit, [&](const char* gathered, int count) -> Judgement {
        const SetAside clean = Note(gathered, count, command, expected, alternative, Reading::Reply);
        if (LastHeard.Echoed) limit = std::max(timeoutMs, heardTimeoutMs);
        const int size = static_cast<int>(clean.Bytes.size());
        const ReplyScan scan = gScanReply(clean.Bytes.data(), size, command);
        if (!scan.Complete) return {};
        const char* reply = clean.Bytes.data() + scan.Start;
        if (out) std::memcpy(out, reply, static_cast<size_t>(scan.Length));
        return {gClassifyReply(reply, scan.Length, scan.Form, expected, alternative)};
    });
}

ReplyCode SerialPort::ReadInfoReply(const char* command, uint32_t timeoutMs, InfoReply& reply) {
    reply = InfoReply{};
    LastHeard = {};
    const ReplyCode code = Gather(timeoutMs, [&](const char* gathered, int count) -> Judgement {
        const SetAside clean = Note(gathered, count, command, nullptr, nullptr, Reading::Information);
        // A reply taken for complete may be undone by the bytes that follow it.
        reply = gParseInfoReply(clean.Bytes.data(), static_cast<int>(clean.Bytes.size()), command);
        if (!reply.Complete) return {};
        return {reply.Code, QuietMs(reply.Awaiting)};
    });
    reply.Code = code;
    return code;
}

SetAside SerialPort::Note(const char* gathered, int count, const char* command, const char* expected,
                          const char* alternative, Reading reading) {
    SetAside clean = gSetAside(gathered, count, command, expected, alternative, reading);
    LastHeard.Bytes = count;
    LastHeard.Echoed = command && FindBytes(clean.Bytes.data(), static_cast<int>(clean.Bytes.size()), command) >= 0;
    LastHeard.Unasked = clean.Lines;
    return clean;
}

ReplyCode SerialPort::Gather(const uint32_t& timeoutMs, const Verdict& verdict) {
    const uint32_t start = Platform->TickMs();
    char gathered[ReplyBufferSize] = {};
    int count = 0;
    const auto stopRequested = [this] { return StopEventRef && StopEventRef->Poll(); };

    if (stopRequested()) return Stopped;
    for (;;) {
        if (Platform->TickMs() - start > timeoutMs) return TimedOut;

        uint32_t got = 0;
        if (ReadSome(gathered + count, static_cast<uint32_t>(ReplyBufferSize - count), got) != Ok) return Failed;
        while (got > 0) {
            count += static_cast<int>(got);
            const Judgement judgement = verdict(gathered, count);
            if (!judgement.Code) break;
            if (judgement.QuietMs == 0) return *judgement.Code;
            Platform->Pause(judgement.QuietMs, {StopEventRef, CancelEventRef});
            if (ReadAtOnce(gathered + count, static_cast<uint32_t>(ReplyBufferSize - count), got) != Ok) return Failed;
            if (got == 0) return *judgement.Code;
        }
        if (stopRequested()) return Stopped;
    }
}

ReplyCode SerialPort::ReadSome(char* buffer, uint32_t size, uint32_t& got) {
    got = 0;
    size_t read = 0;
    const SysResult result = Transfer(*this, [&] {
        read = 0;
        return Platform->Read(Handle, reinterpret_cast<uint8_t*>(buffer), size, read, {StopEventRef, CancelEventRef});
    });
    if (!result.Ok()) {
        ShowInfo(OwnerWindow, WithCode("Ошибка выполнения ReadFile (код %d)!", result.Code));
        return Failed;
    }
    got = static_cast<uint32_t>(read);
    return Ok;
}

ReplyCode SerialPort::ReadAtOnce(char* buffer, uint32_t size, uint32_t& got) {
    got = 0;
    CommTimeouts usual;
    if (!Control(*this, [&] { return Platform->GetTimeouts(Handle, usual); })) return Failed;
    CommTimeouts atOnce;
    atOnce.ReadIntervalTimeout = 0xFFFFFFFFu;
    if (!Control(*this, [&] { return Platform->SetTimeouts(Handle, atOnce); })) return Failed;
    const ReplyCode code = ReadSome(buffer, size, got);
    if (!Control(*this, [&] { return Platform->SetTimeouts(Handle, usual); })) return Failed;
    return code;
}

uint32_t SerialPort::QuietMs(MoreMayFollow more) const {
    // A LF is ten bits on the line; a USB adapter may hand it over a few frames later.
    constexpr uint32_t LfBits = 10;
    constexpr uint32_t AdapterMs = 10;
    // A modem that sends a final code after all sends it at once.
    constexpr uint32_t FinalMs = 200;
    switch (more) {
    case MoreMayFollow::Nothing: return 0;
    case MoreMayFollow::Lf: return AdapterMs + (LfBits * 1000 + Speed - 1) / std::max<uint32_t>(Speed, 1);
    case MoreMayFollow::Final: return FinalMs;
    }
    return 0;
}

void SerialPort::Close() {
    if (Handle == InvalidPortHandle) return;
    Platform->CloseDevice(Handle);
    Handle = InvalidPortHandle;
}

void gShowErrorText(uint32_t code, Toolkit* owner) { ShowInfo(owner, gGetErrorText(code)); }
