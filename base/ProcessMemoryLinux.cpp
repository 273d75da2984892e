// The memory figures from /proc and the process's address-space limit.

#include "base/ProcessMemory.h"

#include <fstream>
#include <initializer_list>
#include <limits>
#include <string>
#include <sys/resource.h>

namespace {

struct Field {
    const char* key;
    std::optional<std::uint64_t>* value;
};

// Fills each field from its "<key> <n> kB" line of a /proc file, in bytes.
void ReadKiB(const char* path, std::initializer_list<Field> fields) {
    std::ifstream in(path);
    std::string word;
    std::size_t found = 0;
    while (found < fields.size() && in >> word) {
        for (const Field& f : fields) {
            if (word != f.key)
                continue;
            std::uint64_t kib = 0;
            if (in >> kib && kib <= std::numeric_limits<std::uint64_t>::max() / 1024)
                *f.value = kib * 1024;
            ++found;
            break;
        }
    }
}

} // namespace

ProcessMemory ReadProcessMemory() {
    ProcessMemory m;
    ReadKiB("/proc/self/status",
            {{"VmSize:", &m.addressSpace}, {"VmRSS:", &m.resident}, {"VmHWM:", &m.peakResident}});
    return m;
}

std::optional<std::uint64_t> AddressSpaceLeft() {
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return std::nullopt;
    std::optional<std::uint64_t> used;
    ReadKiB("/proc/self/status", {{"VmSize:", &used}});
    if (!used)
        return std::nullopt;
    const std::uint64_t cap = limit.rlim_cur;
    return *used >= cap ? 0 : cap - *used;
}

std::uint64_t AddressSpaceLimit() {
    rlimit limit{};
    return getrlimit(RLIMIT_AS, &limit) == 0 ? std::uint64_t(limit.rlim_cur) : 0;
}

std::optional<std::uint64_t> AvailableMemory() {
    std::optional<std::uint64_t> available;
    ReadKiB("/proc/meminfo", {{"MemAvailable:", &available}});
    return available;
}

void ResetPeakResident() {
    std::ofstream("/proc/self/clear_refs") << "5";
}
