#include "tests/support/EventWait.h"

#include <poll.h>

#include <initializer_list>

void gWaitForEither(const Event* a, const Event* b) {
    pollfd fds[2] = {};
    nfds_t count = 0;
    for (const Event* e : {a, b})
        if (e) fds[count++] = {static_cast<int>(e->NativeHandle()), POLLIN, 0};
    poll(fds, count, -1);
}
