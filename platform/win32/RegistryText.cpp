#include "RegistryText.h"

#include <vector>

namespace corvane::win32 {

namespace {

class OpenKey
{
public:
    OpenKey() = default;
    OpenKey(const OpenKey &) = delete;
    OpenKey &operator=(const OpenKey &) = delete;
    ~OpenKey()
    {
        if (handle)
            RegCloseKey(handle);
    }
    HKEY handle = nullptr;
};

// The system's own words for a registry status, without the line end it
// ends them with.
std::wstring systemText(LONG status)
{
    wchar_t *text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                            | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, DWORD(status), 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    std::wstring words = length ? std::wstring(text, length) : L"error " + std::to_wstring(status);
    if (text)
        LocalFree(text);
    while (!words.empty() && (words.back() == L'\n' || words.back() == L'\r' || words.back() == L' '))
        words.pop_back();
    return words;
}

} // namespace

Outcome judgeRegistryQuery(LONG status, DWORD type, const std::wstring &valueName)
{
    if (status != ERROR_SUCCESS)
        return Outcome::failure(formatMessage(CannotRead, valueName) + systemText(status));
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return Outcome::failure(formatMessage(InvalidDataType, valueName));
    return Outcome::success();
}

RegistryRead readRegistryText(HKEY root, const std::wstring &keyPath,
                              const std::wstring &valueName, REGSAM view)
{
    OpenKey key;
    if (RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_QUERY_VALUE | view, &key.handle) != ERROR_SUCCESS)
        return {};

    DWORD type = 0;
    DWORD size = 0;
    LONG status = RegQueryValueExW(key.handle, valueName.c_str(), nullptr, &type, nullptr, &size);
    if (status == ERROR_FILE_NOT_FOUND)
        return {};
    if (Outcome judged = judgeRegistryQuery(status, type, valueName); !judged.ok)
        return {std::nullopt, std::move(judged)};

    // The value may grow between the two calls; ask again until it fits.
    std::vector<wchar_t> buffer;
    do {
        buffer.assign(size / sizeof(wchar_t) + 2, L'\0');
        size = DWORD(buffer.size() * sizeof(wchar_t));
        status = RegQueryValueExW(key.handle, valueName.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE *>(buffer.data()), &size);
    } while (status == ERROR_MORE_DATA);
    if (status == ERROR_FILE_NOT_FOUND)
        return {};
    if (Outcome judged = judgeRegistryQuery(status, type, valueName); !judged.ok)
        return {std::nullopt, std::move(judged)};

    // Stored text need not end in a zero, and may hold one before its end.
    std::wstring text(buffer.data(), size / sizeof(wchar_t));
    if (const auto zero = text.find(L'\0'); zero != std::wstring::npos)
        text.resize(zero);
    return {std::move(text), Outcome::success()};
}

Outcome ensureRegistryKey(HKEY root, const std::wstring &keyPath)
{
    OpenKey key;
    if (RegCreateKeyExW(root, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_QUERY_VALUE, nullptr, &key.handle, nullptr) != ERROR_SUCCESS)
        return Outcome::failure(formatMessage(FailedToCreateKey, keyPath));
    return Outcome::success();
}

Outcome writeRegistryText(HKEY root, const std::wstring &keyPath,
                          const std::wstring &valueName, const std::wstring &text)
{
    OpenKey key;
    if (RegCreateKeyExW(root, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &key.handle, nullptr) != ERROR_SUCCESS)
        return Outcome::failure(formatMessage(FailedToCreateKey, keyPath));
    const DWORD size = DWORD((text.size() + 1) * sizeof(wchar_t));
    if (RegSetValueExW(key.handle, valueName.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE *>(text.c_str()), size) != ERROR_SUCCESS)
        return Outcome::failure(formatMessage(FailedToSetData, valueName));
    return Outcome::success();
}

} // namespace corvane::win32
