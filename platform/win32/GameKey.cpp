#include "GameKey.h"

#include "RegistryText.h"

namespace corvane::win32 {

std::wstring readGameExePath()
{
    // A value of the wrong type counts as no entry: the player then points
    // at the game by hand.
    const RegistryRead read = readRegistryText(HKEY_LOCAL_MACHINE, GameKeyPath, GameExePathValue,
                                               KEY_WOW64_32KEY);
    return read.outcome.ok && read.text ? *read.text : std::wstring();
}

} // namespace corvane::win32
