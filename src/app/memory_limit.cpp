// The memory cap: reading sizes, the default, and the address-space limit.
#include "app/memory_limit.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

constexpr uint64_t kMiB = uint64_t{1} << 20;

// The memory limit of the process's control group (version 2), if it has one.
std::optional<uint64_t> GroupLimit() {
    std::ifstream cgroup("/proc/self/cgroup");
    std::string line;
    std::optional<uint64_t> limit;
    while (std::getline(cgroup, line)) {
        if (line.rfind("0::", 0) != 0) continue;
        // The group and each of its parents may set memory.max.
        for (std::string path = line.substr(3);; path = path.substr(0, path.rfind('/'))) {
            std::ifstream max("/sys/fs/cgroup" + path + "/memory.max");
            unsigned long long bytes = 0;
            if (max >> bytes) limit = std::min(limit.value_or(bytes), uint64_t{bytes});
            if (path.empty() || path == "/") break;
        }
    }
    return limit;
}

}  // namespace

std::optional<uint64_t> ParseMemorySize(const char* text) {
    if (text == nullptr || *text == '\0') return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const double number = std::strtod(text, &end);
    if (end == text || errno != 0 || !(number > 0) || !std::isfinite(number)) return std::nullopt;
    double unit = 1;
    switch (*end) {
        case 'k':
        case 'K':
            unit = 1024.0;
            ++end;
            break;
        case 'm':
        case 'M':
            unit = 1024.0 * 1024;
            ++end;
            break;
        case 'g':
        case 'G':
            unit = 1024.0 * 1024 * 1024;
            ++end;
            break;
        case 't':
        case 'T':
            unit = 1024.0 * 1024 * 1024 * 1024;
            ++end;
            break;
        default:
            break;
    }
    if (unit > 1 && std::strcmp(end, "iB") == 0) end += 2;
    if (*end == 'B' || *end == 'b') ++end;
    const double bytes = number * unit;
    // Less than a byte is no size (it would read as 0, the default).
    if (*end != '\0' || bytes < 1 || bytes >= 18e18) return std::nullopt;
    return static_cast<uint64_t>(bytes);
}

uint64_t DefaultMemoryLimit() {
    const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGE_SIZE);
    uint64_t limit = UINT64_MAX;
    if (pages > 0 && pageSize > 0) {
        const uint64_t physical = uint64_t(pages) * uint64_t(pageSize);
        const uint64_t margin = std::max(physical / 8, 256 * kMiB);
        limit = physical > 2 * margin ? physical - margin : physical / 2;
    }
    if (std::optional<uint64_t> group = GroupLimit()) limit = std::min(limit, *group);
    rlimit current{};
    if (getrlimit(RLIMIT_AS, &current) == 0 && current.rlim_cur != RLIM_INFINITY)
        limit = std::min<uint64_t>(limit, current.rlim_cur);
    return limit;
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TOVIK_RESERVES_ADDRESS_SPACE 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || \
    __has_feature(memory_sanitizer)
#define TOVIK_RESERVES_ADDRESS_SPACE 1
#endif
#endif

bool ApplyMemoryLimit(uint64_t bytes) {
#if defined(TOVIK_RESERVES_ADDRESS_SPACE) || defined(__EMSCRIPTEN__)
    (void)bytes;
    return false;
#else
    rlimit current{};
    if (getrlimit(RLIMIT_AS, &current) != 0) return false;
    rlimit wanted = current;
    wanted.rlim_cur =
        current.rlim_max == RLIM_INFINITY ? bytes : std::min<rlim_t>(bytes, current.rlim_max);
    if (current.rlim_cur != RLIM_INFINITY)
        wanted.rlim_cur = std::min(wanted.rlim_cur, current.rlim_cur);
    return setrlimit(RLIMIT_AS, &wanted) == 0;
#endif
}
