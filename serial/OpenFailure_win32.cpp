#include "serial/OpenFailure_win32.h"

#include <windows.h>

// The number is the device itself, so the line names no other.
OpenFailure gOpenFailureFromCode(uint32_t error) {
    OpenFailure failure;
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: failure.Fault = OpenFault::NoDevice; break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: failure.Fault = OpenFault::Busy; break;
    default:
        failure.Fault = OpenFault::Other;
        failure.Code = error;
    }
    return failure;
}
