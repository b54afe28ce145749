#include "serial/DescriptorRoom.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>

int gMakeDescriptorRoom(int count) {
    rlimit limit{};
    if (count < 1 || getrlimit(RLIMIT_NOFILE, &limit) != 0) return count;
    const auto wanted = static_cast<rlim_t>(count);
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < wanted) {
        rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max == RLIM_INFINITY ? wanted : std::min(wanted, limit.rlim_max);
        if (setrlimit(RLIMIT_NOFILE, &raised) == 0) limit = raised;
    }
    const int allowed = static_cast<int>(std::min(wanted, limit.rlim_cur));
    // Any open descriptor serves to take the highest number; standard input may be closed.
    const int any = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (any < 0) return allowed;
    if (const int far = fcntl(any, F_DUPFD_CLOEXEC, allowed - 1); far >= 0) close(far);
    close(any);
    return allowed;
}
