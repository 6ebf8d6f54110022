// The drawing window as a program of its own: `quentar FILE.dxf` opens the file in it.
#pragma once

#include <string>

namespace quentar::editor::ui {

// Creates the application (unless one exists), shows the drawing window with `file` loaded (a new
// drawing when it is empty) and runs until the window is closed. Returns the exit status.
int runDrawingWindow(int &argc, char **argv, const std::string &file);

} // namespace quentar::editor::ui
