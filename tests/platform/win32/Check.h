#pragma once

// A few checks for the Win32 tests, which run without Qt. Each program ends
// with a "Totals" line and exits non-zero when a check failed.

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace check {

inline int passed = 0;
inline int failed = 0;

inline std::string utf8(const std::wstring &text)
{
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

inline std::string show(const std::wstring &text) { return "\"" + utf8(text) + "\""; }
inline std::string show(const std::string &text) { return "\"" + text + "\""; }
inline std::string show(unsigned long value) { return std::to_string(value); }
inline std::string show(long value) { return std::to_string(value); }
inline std::string show(unsigned value) { return std::to_string(value); }
inline std::string show(int value) { return std::to_string(value); }
inline std::string show(bool value) { return value ? "true" : "false"; }

inline bool record(bool ok, const std::string &what, const char *file, int line)
{
    if (ok) {
        ++passed;
    } else {
        ++failed;
        std::printf("FAIL %s:%d: %s\n", file, line, what.c_str());
        std::fflush(stdout);
    }
    return ok;
}

template <typename A, typename B>
bool equal(const A &actual, const B &expected, const char *text, const char *file, int line)
{
    const bool ok = actual == expected;
    return record(ok, ok ? std::string() : std::string(text) + ": " + show(actual) + " != " + show(expected),
                  file, line);
}

inline void skip(const char *reason)
{
    std::printf("SKIP %s\n", reason);
}

inline int finish(const char *name)
{
    std::printf("Totals: %d passed, %d failed (%s)\n", passed, failed, name);
    return failed == 0 ? 0 : 1;
}

} // namespace check

#define CHECK(expr) ::check::record(bool(expr), #expr, __FILE__, __LINE__)
#define CHECK_EQ(actual, expected) ::check::equal((actual), (expected), #actual " == " #expected, __FILE__, __LINE__)

// A folder of its own under the temporary folder, removed with its files.
class ScratchFolder
{
public:
    explicit ScratchFolder(const std::wstring &name)
    {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        path = std::wstring(temp) + name + L"-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(path.c_str(), nullptr);
    }
    ~ScratchFolder()
    {
        std::wstring list = path + L'\0';
        list.push_back(L'\0');
        SHFILEOPSTRUCTW op = {};
        op.wFunc = FO_DELETE;
        op.pFrom = list.c_str();
        op.fFlags = FOF_NO_UI;
        SHFileOperationW(&op);
    }
    std::wstring path; // with its trailing backslash
};

inline bool writeFile(const std::wstring &path, const std::string &bytes)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(file);
    return ok;
}
