#include "host/x11/process_random.h"

#include <time.h>
#include <unistd.h>

namespace orvex::x11 {

std::uint64_t mix64(std::uint64_t x) {
    x += 0x9e3779b97f4a7c15ull;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
    return x ^ (x >> 31);
}

// The time is spread over all 64 bits before the pid goes in, so close times
// and close pids cannot cancel each other out.
std::uint64_t process_salt(std::uint64_t monotonic_ns, std::uint64_t pid) { return mix64(mix64(monotonic_ns) ^ pid); }

std::uint64_t this_process_salt() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::uint64_t ns =
        static_cast<std::uint64_t>(now.tv_sec) * 1000000000ull + static_cast<std::uint64_t>(now.tv_nsec);
    return process_salt(ns, static_cast<std::uint64_t>(getpid()));
}

}  // namespace orvex::x11
