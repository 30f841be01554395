#include "Outcome.h"

namespace corvane::win32 {

std::wstring formatMessage(const std::wstring &pattern, const std::wstring &text)
{
    std::wstring message = pattern;
    if (const auto at = message.find(L"%s"); at != std::wstring::npos)
        message.replace(at, 2, text);
    return message;
}

} // namespace corvane::win32
