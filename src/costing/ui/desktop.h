// The desktop road of the program: the calculator window as the main window.
#pragma once

#include <string>

namespace quentar::costing::ui {

// Runs the calculator window until it closes; with a file, loads that drawing first.
int runDesktop(int argc, char **argv, const std::string &fileOrEmpty);

} // namespace quentar::costing::ui
