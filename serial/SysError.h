#pragma once
// The platform's own codes for the two failures the port logic tells apart from all
// others: an aborted call (EINTR; ERROR_OPERATION_ABORTED, 995) and a pending one
// (EAGAIN; ERROR_IO_PENDING, 997).

#include <cstdint>

extern const uint32_t AbortedCode;
extern const uint32_t PendingCode;
