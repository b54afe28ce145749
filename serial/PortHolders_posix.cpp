#include "serial/PortHolders_posix.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

namespace {

constexpr const char* ModemManagerProgram = "ModemManager";
// Unix98 pseudo-terminal slaves: majors 136 to 143, 256 minors each; the master
// multiplexer is 5:2.
constexpr unsigned PtySlaveFirstMajor = 136;
constexpr unsigned PtySlaveLastMajor = 143;
const dev_t PtyMaster = makedev(5, 2);

// Numbered entries of /proc (processes) or of a descriptor folder.
template <typename Each> bool ForEachNumber(const std::string& folder, Each each) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return false;
    while (const dirent* entry = readdir(dir)) {
        char* end = nullptr;
        const long n = std::strtol(entry->d_name, &end, 10);
        if (end != entry->d_name && *end == '\0') each(n, folder + "/" + entry->d_name);
    }
    closedir(dir);
    return true;
}

std::string ProgramName(const std::string& process) {
    std::string name;
    std::getline(std::ifstream(process + "/comm"), name);
    return name;
}

// The pty index a master descriptor serves, from its fdinfo; -1 when not told.
long MasterIndex(const std::string& process, long fd) {
    std::ifstream info(process + "/fdinfo/" + std::to_string(fd));
    std::string key;
    while (info >> key) {
        long index = -1;
        if (key == "tty-index:" && info >> index) return index;
        info.ignore(1 << 12, '\n');
    }
    return -1;
}

long PtyIndex(dev_t device) {
    const unsigned block = major(device);
    if (block < PtySlaveFirstMajor || block > PtySlaveLastMajor) return -1;
    return static_cast<long>(block - PtySlaveFirstMajor) * 256 + static_cast<long>(minor(device));
}

// One pass over /proc for every device in devices.
std::map<dev_t, DeviceHolders> Scan(const std::set<dev_t>& devices) {
    std::map<dev_t, DeviceHolders> found;
    bool hidden = false;
    bool anyPty = false;
    for (const dev_t d : devices) anyPty = anyPty || PtyIndex(d) >= 0;
    const long self = getpid();
    ForEachNumber("/proc", [&](long pid, const std::string& process) {
        if (pid == self) return;
        std::set<dev_t> held;
        std::set<long> masters;  // pty indexes this process serves as the modem's end
        const bool looked = ForEachNumber(process + "/fd", [&](long fd, const std::string& link) {
            struct stat st {};
            if (stat(link.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) return;
            if (devices.count(st.st_rdev)) held.insert(st.st_rdev);
            if (anyPty && st.st_rdev == PtyMaster) masters.insert(MasterIndex(process, fd));
        });
        // A process that ended meanwhile has no folder left; one that could not be
        // looked at still has it.
        if (!looked && access(process.c_str(), F_OK) == 0) hidden = true;
        for (const dev_t d : held) {
            const long index = PtyIndex(d);
            if (index < 0 || !masters.count(index)) found[d].Seen.push_back({static_cast<int>(pid), ProgramName(process)});
        }
    });
    for (const dev_t d : devices) found[d].Hidden = hidden;
    return found;
}

// Ports opened at once share scans: a request joins the next scan that has not begun,
// so each port's scan still begins after its own open, and a batch pays for a few.
struct SharedScans {
    struct Round {
        std::set<dev_t> Devices;
        std::map<dev_t, DeviceHolders> Found;
        bool Done = false;
    };
    std::mutex Mutex;
    std::condition_variable Finished;
    std::shared_ptr<Round> Next;
    bool Scanning = false;

    DeviceHolders For(dev_t device) {
        std::unique_lock lock(Mutex);
        if (!Next) Next = std::make_shared<Round>();
        const std::shared_ptr<Round> mine = Next;
        mine->Devices.insert(device);
        while (!mine->Done) {
            if (Scanning) {
                Finished.wait(lock);
                continue;
            }
            // Nothing scans and ours has not run, so ours is the next: this thread runs it.
            Scanning = true;
            Next.reset();
            lock.unlock();
            std::map<dev_t, DeviceHolders> found = Scan(mine->Devices);
            lock.lock();
            mine->Found = std::move(found);
            mine->Done = true;
            Scanning = false;
            Finished.notify_all();
        }
        return mine->Found[device];
    }
};

}  // namespace

DeviceHolders gFindDeviceHolders(dev_t device) {
    static SharedScans scans;
    return scans.For(device);
}

std::string gRunningModemManager() {
    std::string found;
    ForEachNumber("/proc", [&](long, const std::string& process) {
        if (found.empty() && ProgramName(process) == ModemManagerProgram) found = ModemManagerProgram;
    });
    return found;
}
