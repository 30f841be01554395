#pragma once

namespace ExitStatus {
constexpr int Success = 0;
constexpr int Failed = 1;   // the work failed; each failure is on standard error
constexpr int Usage = 2;    // the command line itself is wrong
} // namespace ExitStatus
