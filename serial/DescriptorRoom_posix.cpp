#include "serial/DescriptorRoom.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>

namespace {

constexpr int Spare = 32;

}  // namespace

DescriptorRoom gMakeDescriptorRoom(int items, int eachHolds) {
    DescriptorRoom room;
    room.Needed = Spare + items * eachHolds;
    room.Allowed = room.Needed;
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return room;
    const auto wanted = static_cast<rlim_t>(room.Needed);
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < wanted) {
        rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max == RLIM_INFINITY ? wanted : std::min(wanted, limit.rlim_max);
        if (setrlimit(RLIMIT_NOFILE, &raised) == 0) limit = raised;
    }
    room.Allowed = static_cast<int>(std::min(wanted, limit.rlim_cur));
    // Any open descriptor serves to take the highest number; standard input may be closed.
    const int any = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (any < 0) return room;
    if (const int far = fcntl(any, F_DUPFD_CLOEXEC, room.Allowed - 1); far >= 0) close(far);
    close(any);
    return room;
}
