// The headless subcommands of the quentar program.
#pragma once

#include <string>
#include <vector>

namespace quentar::app {

// Each returns the process exit status; results go to stdout, errors to stderr.
int runInfo(const std::vector<std::string> &args);
int runResave(const std::vector<std::string> &args);
// Needs the process arguments for the Qt application that renders the preview.
int runMeasure(const std::vector<std::string> &args, int &argc, char **argv);
int runQuote(const std::vector<std::string> &args, int &argc, char **argv);

} // namespace quentar::app
