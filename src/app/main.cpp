// quentar: the calculator window, or one of the headless subcommands.
#include "app/commands.h"
#include "app/core/folders.h"
#include "app/ui/desktop.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

void usage(std::FILE *to) {
    std::fputs("usage: quentar <command> [arguments]\n"
               "\n"
               "  info FILE.dxf [--entities]   what Quentar reads from a drawing, as JSON\n"
               "  resave IN.dxf OUT.dxf         open a drawing and save it again unchanged\n"
               "  measure FILE.dxf [--tab N] [--preview OUT.png]\n"
               "                                what the calculator takes over, as JSON\n"
               "  quote FILE.dxf ... [--material NAME|INDEX] [--thickness MM] [--quantity N]\n"
               "        [--set FIELD=VALUE ...] [--offers] [--data-dir DIR] [--json] [--csv OUT]\n"
               "        [--pdf OUT.pdf] [--text OFFERS.txt] [--project NAME]\n"
               "                                the cost breakdown and prices of each drawing\n",
               to);
}

} // namespace

int main(int argc, char **argv) {
    using namespace quentar::app;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return quentar::app::ui::runDesktop(argc, argv, "");
    // A drawing given alone (as a file manager passes it) opens the window with it loaded.
    if (args.size() == 1 && std::filesystem::is_regular_file(args[0]) && args[0].size() > 4) {
        std::string ext = args[0].substr(args[0].size() - 4);
        for (char &c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (ext == ".dxf") return quentar::app::ui::runDesktop(argc, argv, args[0]);
    }
    const std::string cmd = args.front();
    args.erase(args.begin());
    if (cmd == "info") return runInfo(args);
    if (cmd == "resave") return runResave(args);
    if (cmd == "measure") return runMeasure(args, argc, argv);
    if (cmd == "quote") return runQuote(args, argc, argv);
    if (cmd == "--help" || cmd == "-h" || cmd == "help") {
        usage(stdout);
        return 0;
    }
    std::fprintf(stderr, "quentar: unknown command '%s'\n", cmd.c_str());
    usage(stderr);
    return 2;
}
