#include <windows.h>

#include <algorithm>

#include "os/Event.h"
#include "os/Tick.h"
#include "serial/OpenFailure_win32.h"
#include "serial/SerialPlatform.h"
#include "serial/SysError_win32.h"

// The Win32 communications functions on a handle opened for overlapped I/O, so that a
// read, a write or a pause ends at once when the stop or the cancel event is signalled:
// each waits on its own I/O event together with those.

namespace {

HANDLE H(PortHandle h) { return reinterpret_cast<HANDLE>(h); }
HANDLE H(const Event* e) { return reinterpret_cast<HANDLE>(e->NativeHandle()); }

SysResult Done() { return {}; }
SysResult LastError() { return gWin32Result(GetLastError()); }
SysResult Check(BOOL ok) { return ok ? Done() : LastError(); }
// The owner is going away; this must not look like the aborted call the logic retries.
SysResult CancelledByOwner() { return {ErrorKind::Other, ERROR_CANCELLED}; }

// The packed flag word and the DCB's bit fields, one to one.
uint32_t FlagsOf(const DCB& d) {
    return d.fBinary | d.fParity << 1 | d.fOutxCtsFlow << 2 | d.fOutxDsrFlow << 3 | d.fDtrControl << 4 |
           d.fDsrSensitivity << 6 | d.fTXContinueOnXoff << 7 | d.fOutX << 8 | d.fInX << 9 | d.fErrorChar << 10 |
           d.fNull << 11 | d.fRtsControl << 12 | d.fAbortOnError << 14 | d.fDummy2 << 15;
}

void SetFlags(DCB& d, uint32_t f) {
    d.fBinary = f & 1;
    d.fParity = f >> 1 & 1;
    d.fOutxCtsFlow = f >> 2 & 1;
    d.fOutxDsrFlow = f >> 3 & 1;
    d.fDtrControl = f >> 4 & 3;
    d.fDsrSensitivity = f >> 6 & 1;
    d.fTXContinueOnXoff = f >> 7 & 1;
    d.fOutX = f >> 8 & 1;
    d.fInX = f >> 9 & 1;
    d.fErrorChar = f >> 10 & 1;
    d.fNull = f >> 11 & 1;
    d.fRtsControl = f >> 12 & 3;
    d.fAbortOnError = f >> 14 & 1;
    d.fDummy2 = f >> 15;
}

// One overlapped transfer: its I/O event lives as long as the transfer does.
class Overlapped {
public:
    Overlapped() { Ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr); }
    ~Overlapped() {
        if (Ov.hEvent) CloseHandle(Ov.hEvent);
    }
    Overlapped(const Overlapped&) = delete;
    Overlapped& operator=(const Overlapped&) = delete;
    OVERLAPPED* Get() { return &Ov; }

    enum class Woken { Io, Stop, Cancel, Failed };

    // Waits until the transfer ends, a wake event is signalled or the time is up (Failed).
    // The stop event resets itself when the wait takes it, so it is put back for the
    // reply reader's own poll.
    Woken Wait(WakeEvents wake, DWORD ms = INFINITE) {
        HANDLE handles[3] = {Ov.hEvent};
        DWORD count = 1;
        const DWORD stopAt = wake.Stop ? count : MAXDWORD;
        if (wake.Stop) handles[count++] = H(wake.Stop);
        const DWORD cancelAt = wake.Cancel ? count : MAXDWORD;
        if (wake.Cancel) handles[count++] = H(wake.Cancel);

        const DWORD woken = WaitForMultipleObjects(count, handles, FALSE, ms) - WAIT_OBJECT_0;
        if (woken == 0) return Woken::Io;
        if (woken == stopAt) {
            SetEvent(handles[stopAt]);
            return Woken::Stop;
        }
        return woken == cancelAt ? Woken::Cancel : Woken::Failed;
    }

    // Cancels the transfer and waits until it has ended, so that its buffer may go.
    // Bytes it delivered before the cancel still count.
    DWORD CancelAndCount(HANDLE port) {
        CancelIoEx(port, &Ov);
        DWORD count = 0;
        GetOverlappedResult(port, &Ov, &count, TRUE);
        return count;
    }

private:
    OVERLAPPED Ov{};
};

class Win32SerialPlatform : public SerialPlatform {
public:
    PortHandle OpenDevice(const std::string& name) override {
        // Share mode 0: Windows itself refuses a port that another program holds.
        const HANDLE h = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_OVERLAPPED, nullptr);
        if (h != INVALID_HANDLE_VALUE) return reinterpret_cast<PortHandle>(h);
        Failure = gOpenFailureFromCode(GetLastError());
        return InvalidPortHandle;
    }

    OpenFailure LastOpenFailure() const override { return Failure; }

    SysResult GetLineSettings(PortHandle h, LineSettings& settings) override {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!GetCommState(H(h), &dcb)) return LastError();
        settings.BaudRate = dcb.BaudRate;
        settings.Flags = FlagsOf(dcb);
        settings.ByteSize = dcb.ByteSize;
        settings.Parity = dcb.Parity;
        settings.StopBits = dcb.StopBits;
        return Done();
    }

    // The members the record does not carry (limits, special characters) go back as the
    // driver has them.
    SysResult SetLineSettings(PortHandle h, const LineSettings& settings) override {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!GetCommState(H(h), &dcb)) return LastError();
        dcb.BaudRate = settings.BaudRate;
        SetFlags(dcb, settings.Flags);
        dcb.ByteSize = settings.ByteSize;
        dcb.Parity = settings.Parity;
        dcb.StopBits = settings.StopBits;
        return Check(SetCommState(H(h), &dcb));
    }

    SysResult GetTimeouts(PortHandle h, CommTimeouts& timeouts) override {
        COMMTIMEOUTS t{};
        if (!GetCommTimeouts(H(h), &t)) return LastError();
        timeouts = {t.ReadIntervalTimeout, t.ReadTotalTimeoutMultiplier, t.ReadTotalTimeoutConstant,
                    t.WriteTotalTimeoutMultiplier, t.WriteTotalTimeoutConstant};
        return Done();
    }

    SysResult SetTimeouts(PortHandle h, const CommTimeouts& timeouts) override {
        COMMTIMEOUTS t{timeouts.ReadIntervalTimeout, timeouts.ReadTotalTimeoutMultiplier,
                       timeouts.ReadTotalTimeoutConstant, timeouts.WriteTotalTimeoutMultiplier,
                       timeouts.WriteTotalTimeoutConstant};
        return Check(SetCommTimeouts(H(h), &t));
    }

    SysResult SetEventMask(PortHandle h, uint32_t mask) override { return Check(SetCommMask(H(h), mask)); }

    SysResult Purge(PortHandle h, uint32_t flags) override { return Check(PurgeComm(H(h), flags)); }

    // A port without modem lines (some adapters; a pseudo-terminal under Wine) cannot
    // raise them, and there is nothing to raise: done.
    SysResult EscapeFunction(PortHandle h, uint32_t function) override {
        if (EscapeCommFunction(H(h), function) || GetLastError() == ERROR_NOT_SUPPORTED) return Done();
        return LastError();
    }

    void ClearLineErrors(PortHandle h) override {
        DWORD errors = 0;
        COMSTAT status{};
        ClearCommError(H(h), &errors, &status);
    }

    SysResult Read(PortHandle h, uint8_t* buffer, size_t size, size_t& got, WakeEvents wake) override {
        got = 0;
        Overlapped ov;
        if (size == 0) return WaitOutReadTime(h, ov, wake);
        COMMTIMEOUTS t{};
        if (!GetCommTimeouts(H(h), &t)) return LastError();
        // Wine leaves a read under the return-at-once time-outs pending over a silent
        // line, where Windows returns nothing: it asks for no more than is queued.
        if (ReturnsAtOnce(t)) {
            size = std::min<size_t>(size, Queued(h));
            if (size == 0) return Done();
        }
        DWORD count = 0;
        if (ReadFile(H(h), buffer, static_cast<DWORD>(size), &count, ov.Get())) {
            got = count;
            return Done();
        }
        if (GetLastError() != ERROR_IO_PENDING) return ReadFailure(got, count);
        switch (ov.Wait(wake)) {
        case Overlapped::Woken::Io:
            if (GetOverlappedResult(H(h), ov.Get(), &count, FALSE)) {
                got = count;
                return Done();
            }
            return ReadFailure(got, count);
        case Overlapped::Woken::Stop:
            got = ov.CancelAndCount(H(h));
            return Done();
        case Overlapped::Woken::Cancel:
            ov.CancelAndCount(H(h));
            return CancelledByOwner();
        case Overlapped::Woken::Failed:
            break;
        }
        const SysResult failed = LastError();
        ov.CancelAndCount(H(h));
        return failed;
    }

    SysResult Write(PortHandle h, const uint8_t* data, size_t size, WakeEvents wake) override {
        Overlapped ov;
        DWORD count = 0;
        if (WriteFile(H(h), data, static_cast<DWORD>(size), &count, ov.Get())) return Done();
        if (GetLastError() != ERROR_IO_PENDING) return LastError();
        switch (ov.Wait(wake)) {
        case Overlapped::Woken::Io:
            return Check(GetOverlappedResult(H(h), ov.Get(), &count, FALSE));
        case Overlapped::Woken::Cancel:
            ov.CancelAndCount(H(h));
            return CancelledByOwner();
        case Overlapped::Woken::Stop:
        case Overlapped::Woken::Failed:
            break;
        }
        const SysResult failed = LastError();
        ov.CancelAndCount(H(h));
        return failed;
    }

    void CloseDevice(PortHandle h) override { CloseHandle(H(h)); }

    void Pause(uint32_t ms, WakeEvents wake) override {
        HANDLE handles[2];
        DWORD count = 0;
        if (wake.Stop) handles[count++] = H(wake.Stop);
        if (wake.Cancel) handles[count++] = H(wake.Cancel);
        if (count == 0) {
            Sleep(ms);
            return;
        }
        // The stop event resets itself when the wait takes it; it is put back for the logic.
        if (WaitForMultipleObjects(count, handles, FALSE, ms) == WAIT_OBJECT_0 && wake.Stop) SetEvent(handles[0]);
    }

    uint32_t TickMs() override { return gTickCount(); }

private:
    static bool ReturnsAtOnce(const COMMTIMEOUTS& t) {
        return t.ReadIntervalTimeout == MAXDWORD && t.ReadTotalTimeoutMultiplier == 0 &&
               t.ReadTotalTimeoutConstant == 0;
    }

    // The bytes the driver holds for reading; none when it cannot tell.
    static size_t Queued(PortHandle h) {
        DWORD errors = 0;
        COMSTAT status{};
        return ClearCommError(H(h), &errors, &status) ? status.cbInQue : 0;
    }

    // A full buffer asks for nothing. A read of nothing ends at once, and the reader would
    // spin; it waits the read's time-out instead, as over a silent line.
    static SysResult WaitOutReadTime(PortHandle h, Overlapped& idle, WakeEvents wake) {
        COMMTIMEOUTS t{};
        if (!GetCommTimeouts(H(h), &t)) return LastError();
        return idle.Wait(wake, t.ReadTotalTimeoutConstant) == Overlapped::Woken::Cancel ? CancelledByOwner() : Done();
    }

    // Some drivers end a read whose total time-out passed with ERROR_TIMEOUT instead of a
    // short count; either way it is a read that got what it got.
    static SysResult ReadFailure(size_t& got, DWORD count) {
        const DWORD code = GetLastError();
        if (code != ERROR_TIMEOUT) return gWin32Result(code);
        got = count;
        return Done();
    }

    // Only the thread that opens reads it, right after a failed open.
    OpenFailure Failure;
};

}  // namespace

std::unique_ptr<SerialPlatform> gMakeSystemSerialPlatform() { return std::make_unique<Win32SerialPlatform>(); }
