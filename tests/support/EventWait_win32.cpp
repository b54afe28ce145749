#include "tests/support/EventWait.h"

#include <windows.h>

#include <initializer_list>

void gWaitForEither(const Event* a, const Event* b) {
    HANDLE handles[2] = {};
    DWORD count = 0;
    for (const Event* e : {a, b})
        if (e) handles[count++] = reinterpret_cast<HANDLE>(e->NativeHandle());
    // An auto-reset event taken by the wait is put back: this only looks.
    const DWORD woken = WaitForMultipleObjects(count, handles, FALSE, INFINITE) - WAIT_OBJECT_0;
    if (woken < count) SetEvent(handles[woken]);
}
