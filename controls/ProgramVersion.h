#pragma once

#include "FileVersion.h"

#include <optional>

namespace corvane::controls {

// The running program's product version: on Windows read from the program
// file's version resource, elsewhere the version the build embedded.
std::optional<corvane::platform::ProductVersion> programProductVersion();

} // namespace corvane::controls
