// quentar: the calculator window, or one of the headless subcommands.
#include "app/commands.h"
#include "app/exit_codes.h"
#include "document/folders.h"
#include "app/ui/desktop.h"
#include "document/dxf_file.h"

#include <cctype>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

namespace {

void usage(std::FILE *to) {
    std::fputs("usage: quentar [FILE.dxf]          the calculator window (with the drawing)\n"
               "       quentar --window [FILE.dxf] the same, saying in the window when the\n"
               "                                   file cannot be opened (the desktop entry)\n"
               "       quentar <command> [arguments]\n"
               "\n"
               "  info FILE.dxf [--entities]   what Quentar reads from a drawing, as JSON\n"
               "  resave IN.dxf OUT.dxf         open a drawing and save it again unchanged\n"
               "  measure FILE.dxf [--tab N] [--all-contours] [--units auto|mm|inch]\n"
               "        [--preview OUT.png]     what the calculator takes over, as JSON\n"
               "  quote FILE.dxf ... [--material NAME|INDEX] [--thickness MM] [--quantity N]\n"
               "        [--set FIELD=VALUE ...] [--offers] [--data-dir DIR] [--json] [--csv OUT]\n"
               "        [--pdf OUT.pdf] [--text OFFERS.txt] [--project NAME]\n"
               "        [--all-contours] [--units auto|mm|inch] [--accept-partial]\n"
               "        [--sheet WIDTHxLENGTH|N [--sheet-trim MM] [--sheet-gap MM]\n"
               "         [--sheet-price P] [--remnant whole|used] [--rotation-step DEG]]\n"
               "                                the cost breakdown and prices of each drawing\n"
               "\n"
               "  --all-contours  measure the whole drawn figure; by default only what is cut\n"
               "                counts (no dimensions, hatch boundaries, construction lines,\n"
               "                leaders, viewport frames, centre or dashed lines, meshes)\n"
               "  --tab N       the tab to measure (0: model space; without it a drawing whose\n"
               "                model space is empty is measured from its first layout)\n"
               "  --units       auto: as the drawing's $INSUNITS says (default); mm or inch: so\n"
               "  --accept-partial  price a drawing whose measurement stopped part way (blocks\n"
               "                inserted too often, more points than are read) as far as it got\n"
               "\n"
               "exit codes:\n"
               "  0  done\n"
               "  1  an output could not be written (nothing half-written is left)\n"
               "  2  refused: bad arguments or values, an input that cannot be read or is no\n"
               "     drawing, an output that would overwrite an input\n"
               "  3  the drawing is too large for the memory available\n",
               to);
}

bool hasDxfExtension(const std::string &path) {
    if (path.size() <= 4) return false;
    std::string ext = path.substr(path.size() - 4);
    for (char &c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".dxf";
}

int run(int argc, char **argv) {
    using namespace quentar::app;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return quentar::app::ui::runDesktop(argc, argv, "");
    // "--window FILE" (what the desktop entry runs): the window opens whatever becomes of the
    // file, and says so itself; that is the only place a desktop user would read it.
    const bool fromDesktop = args.front() == "--window";
    if (fromDesktop) {
        args.erase(args.begin());
        return quentar::app::ui::runDesktop(argc, argv, args.empty() ? "" : args.front());
    }
    const std::string cmd = args.front();
    // A drawing given alone opens the window with it loaded; one that cannot be opened is
    // refused here, in the terminal it was typed into.
    if (args.size() == 1 && hasDxfExtension(cmd) && cmd != "info" && cmd != "resave" &&
        cmd != "measure" && cmd != "quote") {
        quentar::document::Drawing probe;
        const quentar::document::LoadResult loaded = quentar::document::loadDxfFile(cmd, probe);
        if (!loaded) return fail("cannot open " + cmd + ": " + quentar::document::loadFailureText(loaded));
        return quentar::app::ui::runDesktop(argc, argv, cmd);
    }
    args.erase(args.begin());
    if (cmd == "info") return runInfo(args);
    if (cmd == "resave") return runResave(args);
    if (cmd == "measure") return runMeasure(args, argc, argv);
    if (cmd == "quote") return runQuote(args, argc, argv);
    if (cmd == "--help" || cmd == "-h" || cmd == "help") {
        usage(stdout);
        return kDone;
    }
    return refuseArguments("unknown command '" + cmd + "'");
}

} // namespace

int main(int argc, char **argv) {
    // A file-size limit (ulimit -f) must not kill the process halfway through a save: with the
    // signal ignored the write fails like one into a full disk, and the save says so and leaves
    // the old file and no temporary.
    std::signal(SIGXFSZ, SIG_IGN);
    // A drawing beyond the memory available is refused, not left to abort the process.
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc &) {
        return quentar::app::fail("the drawing is too large for the memory available",
                                  quentar::app::kTooLarge);
    }
}
