#include "FailureReason.h"

#include <array>
#include <cstdarg>
#include <cstdio>
#include <map>
#include <mutex>
#include <thread>

namespace korrad {
namespace {

using Reason = std::array<char, 256>;

// Only threads whose last call failed have an entry, so the map stays as
// small as the number of threads converting at once.
std::mutex reasonsGuard;
std::map<std::thread::id, Reason> reasons;

} // namespace

void clearFailure()
{
    const std::lock_guard lock(reasonsGuard);
    reasons.erase(std::this_thread::get_id());
}

bool refuse(const char *format, ...)
{
    const std::lock_guard lock(reasonsGuard);
    const auto [entry, isNew] = reasons.try_emplace(std::this_thread::get_id());
    if (!isNew)
        return false;
    std::va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(entry->second.data(), entry->second.size(), format, arguments);
    va_end(arguments);
    return false;
}

const char *failureReason()
{
    const std::lock_guard lock(reasonsGuard);
    const auto entry = reasons.find(std::this_thread::get_id());
    // A map's entries stay where they are while others come and go, and only
    // this thread replaces its own.
    return entry == reasons.end() ? "" : entry->second.data();
}

} // namespace korrad
