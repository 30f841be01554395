// Usage: tst_win32_version [FILE=MAJOR.MINOR.BUILD.REVISION]...
// Besides its own checks, confirms that each named file of the build carries
// the version it should.
#include "Check.h"
#include "VersionResource.h"

#include <cwchar>

using namespace corvane::win32;

namespace {

std::wstring ownPath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring dotted(const std::optional<VersionWords> &version)
{
    if (!version)
        return L"<none>";
    return std::to_wstring(HIWORD(version->mostSignificant)) + L"." + std::to_wstring(LOWORD(version->mostSignificant))
        + L"." + std::to_wstring(HIWORD(version->leastSignificant)) + L"." + std::to_wstring(LOWORD(version->leastSignificant));
}

void versionsAreReadFromTheFixedBlock()
{
    ScratchFolder scratch(L"corvane-version");
    CHECK(writeFile(scratch.path + L"plain.dll", "not a program"));
    const struct {
        const char *what;
        std::wstring path;
        std::wstring expected;
    } cases[] = {
        {"this program, built with 1.2.3.4", ownPath(), L"1.2.3.4"},
        {"a file without resources", scratch.path + L"plain.dll", L"<none>"},
        {"a missing file", scratch.path + L"missing.dll", L"<none>"},
    };
    for (const auto &c : cases) {
        if (!CHECK_EQ(dotted(readProductVersion(c.path)), c.expected))
            std::printf("  for %s\n", c.what);
    }
    // A bare name is looked for as the loader would, here in the system folder.
    CHECK(readProductVersion(L"kernel32.dll").has_value());
}

// With the manifest the program's 8-bit code page is UTF-8, so a path handed
// to an A function keeps letters outside the old code page.
void eightBitCallsSpeakUtf8()
{
    CHECK_EQ(unsigned(GetACP()), unsigned(CP_UTF8));
    ScratchFolder scratch(L"corvane-acp");
    const std::wstring name = L"\u0418\u0432\u0430\u043d.pnt";
    const std::string bytes = check::utf8(scratch.path + name);
    const HANDLE file = CreateFileA(bytes.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CHECK(file != INVALID_HANDLE_VALUE);
    CloseHandle(file);
    CHECK(GetFileAttributesW((scratch.path + name).c_str()) != INVALID_FILE_ATTRIBUTES);
}

void builtFilesCarryTheirVersions(int count, wchar_t **arguments)
{
    for (int i = 1; i < count; ++i) {
        const std::wstring argument = arguments[i];
        const auto equals = argument.rfind(L'=');
        if (!CHECK(equals != std::wstring::npos))
            continue;
        if (!CHECK_EQ(dotted(readProductVersion(argument.substr(0, equals))), argument.substr(equals + 1)))
            std::printf("  for %s\n", check::utf8(argument).c_str());
    }
}

} // namespace

int wmain(int count, wchar_t **arguments)
{
    versionsAreReadFromTheFixedBlock();
    eightBitCallsSpeakUtf8();
    builtFilesCarryTheirVersions(count, arguments);
    return check::finish("version");
}
