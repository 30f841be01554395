#pragma once

#include <string>

namespace corvane::win32 {

// Success, or the reason for a failure in words the player may be shown.
struct Outcome {
    bool ok = true;
    std::wstring error;

    static Outcome success() { return {}; }
    static Outcome failure(std::wstring reason) { return {false, std::move(reason)}; }
};

// printf-style "%s" replaced by text, the way the messages are written.
std::wstring formatMessage(const std::wstring &pattern, const std::wstring &text);

} // namespace corvane::win32
