#include "Check.h"
#include "GameKey.h"
#include "RegistryText.h"

using namespace corvane::win32;

namespace {

// A key of its own under the current user, removed afterwards.
struct TestKey {
    TestKey()
    {
        path = L"Software\\CorvaneTests\\Registry-" + std::to_wstring(GetCurrentProcessId());
        RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr);
    }
    ~TestKey()
    {
        RegCloseKey(handle);
        RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
    }
    void setRaw(const wchar_t *name, DWORD type, const void *data, DWORD size)
    {
        RegSetValueExW(handle, name, 0, type, static_cast<const BYTE *>(data), size);
    }
    std::wstring path;
    HKEY handle = nullptr;
};

void textRoundTrips()
{
    TestKey key;
    const struct {
        const wchar_t *name;
        std::wstring text;
    } cases[] = {
        {L"CFSPath", L"C:\\Games\\CFS3\\"},
        {L"Top", L"-12"},
        {L"Empty", L""},
        {L"Program", L"C:\\Users\\\u0418\u0432\u0430\u043d\\Corvane.exe"},
    };
    for (const auto &c : cases) {
        CHECK(writeRegistryText(key.handle, L"Section", c.name, c.text).ok);
        const RegistryRead read = readRegistryText(key.handle, L"Section", c.name);
        CHECK(read.outcome.ok);
        CHECK(read.text.has_value());
        CHECK_EQ(read.text.value_or(L"<none>"), c.text);
    }
    // Written as REG_SZ, so that other tools (and older versions) read it.
    DWORD type = 0;
    CHECK_EQ(RegGetValueW(key.handle, L"Section", L"Top", RRF_RT_ANY, &type, nullptr, nullptr), long(ERROR_SUCCESS));
    CHECK_EQ(type, DWORD(REG_SZ));
}

void missingKeyOrValueIsNoText()
{
    TestKey key;
    const RegistryRead noKey = readRegistryText(key.handle, L"NoSection", L"Top");
    CHECK(noKey.outcome.ok);
    CHECK(!noKey.text.has_value());
    CHECK(writeRegistryText(key.handle, L"Section", L"Left", L"40").ok);
    const RegistryRead noValue = readRegistryText(key.handle, L"Section", L"Top");
    CHECK(noValue.outcome.ok);
    CHECK(!noValue.text.has_value());
}

void otherTypesAreRefusedByName()
{
    TestKey key;
    const DWORD number = 32;
    const unsigned char bytes[] = {1, 2, 3};
    const wchar_t multi[] = L"a\0b\0";
    key.setRaw(L"Top", REG_DWORD, &number, sizeof number);
    key.setRaw(L"Left", REG_BINARY, bytes, sizeof bytes);
    key.setRaw(L"CFSPath", REG_MULTI_SZ, multi, sizeof multi);
    for (const wchar_t *name : {L"Top", L"Left", L"CFSPath"}) {
        const RegistryRead read = readRegistryText(HKEY_CURRENT_USER, key.path, name);
        CHECK(!read.outcome.ok);
        CHECK(!read.text.has_value());
        CHECK_EQ(read.outcome.error, L"Invalid data type for '" + std::wstring(name) + L"'");
    }
}

// A query the registry refuses is reported with the system's reason, not
// as a value of the wrong type.
void refusedQueriesSayWhy()
{
    const struct {
        LONG status;
        DWORD type;
        const wchar_t *start; // empty: accepted
    } cases[] = {
        {ERROR_SUCCESS, REG_SZ, L""},
        {ERROR_SUCCESS, REG_EXPAND_SZ, L""},
        {ERROR_SUCCESS, REG_DWORD, L"Invalid data type for 'CFSPath'"},
        {ERROR_ACCESS_DENIED, REG_SZ, L"Cannot read 'CFSPath': "},
        {ERROR_KEY_DELETED, 0, L"Cannot read 'CFSPath': "},
        {ERROR_OUTOFMEMORY, REG_SZ, L"Cannot read 'CFSPath': "},
    };
    for (const auto &c : cases) {
        const Outcome judged = judgeRegistryQuery(c.status, c.type, L"CFSPath");
        const std::wstring start = c.start;
        CHECK_EQ(judged.ok, start.empty());
        CHECK_EQ(judged.error.substr(0, start.size()), start);
        // The system's words follow, without the line end it gives them.
        if (start.rfind(L"Cannot read", 0) == 0) {
            CHECK(judged.error.size() > start.size());
            CHECK(judged.error.back() != L'\n' && judged.error.back() != L'\r');
        }
    }
}

void expandableTextIsTakenAsStored()
{
    TestKey key;
    const wchar_t stored[] = L"%TEMP%\\CFS3\\";
    key.setRaw(L"CFSPath", REG_EXPAND_SZ, stored, sizeof stored);
    const RegistryRead read = readRegistryText(HKEY_CURRENT_USER, key.path, L"CFSPath");
    CHECK(read.outcome.ok);
    CHECK_EQ(read.text.value_or(L"<none>"), std::wstring(stored));
}

void textWithoutItsZeroIsReadWhole()
{
    TestKey key;
    const wchar_t stored[] = {L'C', L':', L'\\'}; // no terminating zero
    key.setRaw(L"CFSPath", REG_SZ, stored, sizeof stored);
    const wchar_t cut[] = L"ab\0cd";
    key.setRaw(L"Top", REG_SZ, cut, sizeof cut);
    CHECK_EQ(readRegistryText(HKEY_CURRENT_USER, key.path, L"CFSPath").text.value_or(L"<none>"), std::wstring(L"C:\\"));
    CHECK_EQ(readRegistryText(HKEY_CURRENT_USER, key.path, L"Top").text.value_or(L"<none>"), std::wstring(L"ab"));
}

void refusedWritesSayWhat()
{
    TestKey key;
    // The registry keeps no lasting key beneath a volatile one.
    HKEY volatileKey = nullptr;
    CHECK_EQ(RegCreateKeyExW(key.handle, L"Volatile", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                             &volatileKey, nullptr), long(ERROR_SUCCESS));
    const Outcome create = writeRegistryText(volatileKey, L"Corvane", L"Top", L"40");
    CHECK(!create.ok);
    CHECK_EQ(create.error, std::wstring(L"Failed to create key Corvane"));
    RegCloseKey(volatileKey);

    // A value name beyond the registry's limit of 16383 characters.
    const Outcome set = writeRegistryText(key.handle, L"Corvane", std::wstring(17000, L'x'), L"40");
    CHECK(!set.ok);
    CHECK_EQ(set.error, L"Failed to set data for '" + std::wstring(17000, L'x') + L"'");
}

// Removes the game's key and, where they are left empty, its parents: only
// what this test created, since it runs only where the game is not installed.
void removeGameKey(REGSAM view)
{
    std::wstring path = GameKeyPath;
    for (int level = 0; level < 3; ++level) {
        if (RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), view, 0) != ERROR_SUCCESS)
            return; // not empty: it holds more than what the test made
        path.resize(path.rfind(L'\\'));
    }
}

bool gameKeyExists(REGSAM view)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, GameKeyPath, 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void gameEntryIsReadThroughTheThirtyTwoBitView()
{
    const std::wstring path = GameKeyPath;
    if (gameKeyExists(KEY_WOW64_32KEY) || gameKeyExists(KEY_WOW64_64KEY)) {
        check::skip("the game is registered on this machine; its entry is left alone");
        return;
    }

    HKEY native = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY,
                        nullptr, &native, nullptr) != ERROR_SUCCESS) {
        check::skip("the machine hive cannot be written here (not an administrator)");
        return;
    }
    const wchar_t nativeFolder[] = L"C:\\Native\\";
    RegSetValueExW(native, GameExePathValue, 0, REG_SZ, reinterpret_cast<const BYTE *>(nativeFolder), sizeof nativeFolder);
    RegCloseKey(native);
    CHECK_EQ(readGameExePath(), std::wstring()); // only the 64-bit view has it

    HKEY wow = nullptr;
    CHECK_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY,
                             nullptr, &wow, nullptr), long(ERROR_SUCCESS));
    const std::wstring installed = L"D:\\\u0418\u0433\u0440\u044b\\CFS3";
    RegSetValueExW(wow, GameExePathValue, 0, REG_SZ, reinterpret_cast<const BYTE *>(installed.c_str()),
                   DWORD((installed.size() + 1) * sizeof(wchar_t)));
    CHECK_EQ(readGameExePath(), installed);

    const DWORD number = 3;
    RegSetValueExW(wow, GameExePathValue, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&number), sizeof number);
    CHECK_EQ(readGameExePath(), std::wstring()); // a wrong type counts as no entry
    RegCloseKey(wow);

    removeGameKey(KEY_WOW64_32KEY);
    removeGameKey(KEY_WOW64_64KEY);
}

} // namespace

int wmain()
{
    textRoundTrips();
    missingKeyOrValueIsNoText();
    otherTypesAreRefusedByName();
    refusedQueriesSayWhy();
    expandableTextIsTakenAsStored();
    textWithoutItsZeroIsReadWhole();
    refusedWritesSayWhat();
    gameEntryIsReadThroughTheThirtyTwoBitView();
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\CorvaneTests");
    return check::finish("registry");
}
