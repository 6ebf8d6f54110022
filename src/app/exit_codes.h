// The exit codes of the headless commands: the same outcome gives the same code in every command.
#pragma once

#include <cstdio>
#include <string>

namespace quentar::app {

inline constexpr int kDone = 0;
inline constexpr int kNotWritten = 1; // an output could not be written; nothing half-written left
inline constexpr int kRefused = 2;    // bad arguments or values, an input that cannot be read or
                                      // is no drawing, an output that would overwrite an input
inline constexpr int kTooLarge = 3;   // the drawing does not fit the memory available

// One line on stderr.
inline int fail(const std::string &message, int code = kRefused) {
    std::fprintf(stderr, "quentar: %s\n", message.c_str());
    return code;
}
// Bad arguments: the one line says what is wrong and where to read how they go.
inline int refuseArguments(const std::string &message) {
    return fail(message + "; see 'quentar --help'");
}
inline void warn(const std::string &message) {
    std::fprintf(stderr, "quentar: warning: %s\n", message.c_str());
}

} // namespace quentar::app
