// A working folder for running the quentar program as a user would, with its own settings, data
// and runtime folders, and a listing of every file in it to compare before and after a run.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace quentar::testing {

namespace fs = std::filesystem;

inline std::string bytesOf(const fs::path &p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline void put(const fs::path &p, const std::string &bytes) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
}

class CommandScratch {
public:
    CommandScratch() {
        std::string tmpl = (fs::temp_directory_path() / "quentar-cmd-XXXXXX").string();
        EXPECT_NE(::mkdtemp(tmpl.data()), nullptr);
        root_ = tmpl;
        fs::create_directories(work());
        // Qt's GUI application wants a private runtime folder and says so on stderr otherwise.
        fs::create_directories(root_ / "run");
        fs::permissions(root_ / "run", fs::perms::owner_all);
    }
    ~CommandScratch() {
        std::error_code ec;
        fs::permissions(root_, fs::perms::owner_all, ec);
        fs::remove_all(root_, ec);
    }
    CommandScratch(const CommandScratch &) = delete;
    CommandScratch &operator=(const CommandScratch &) = delete;

    const fs::path &root() const { return root_; }
    fs::path work() const { return root_ / "work"; }

    struct Run {
        int status = -1;
        std::string out, err;
    };
    // Runs `quentar ARGS` in the working folder: `args` as a shell splits them, `before` shell
    // commands run first in the same shell (a ulimit), `env` assignments before the program,
    // `redirect` where stdout goes (a file outside the working folder by default).
    Run run(const std::string &args, const std::string &before = "", const std::string &env = "",
            const std::string &redirect = "") const {
        const std::string cmd =
            "cd '" + work().string() + "' && " + before + (before.empty() ? "" : " && ") +
            "XDG_CONFIG_HOME='" + (root_ / "cfg").string() + "' XDG_DATA_HOME='" +
            (root_ / "xdg").string() + "' XDG_RUNTIME_DIR='" + (root_ / "run").string() + "' " +
            env + " '" + QUENTAR_BINARY + "' " + args + " >" +
            (redirect.empty() ? "'" + (root_ / "out").string() + "'" : redirect) + " 2>'" +
            (root_ / "err").string() + "'";
        // A shell of its own: `ulimit` binds it and the program, not the test.
        const int st = std::system(("bash -c \"" + escaped(cmd) + "\"").c_str());
        Run r;
        r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
        r.out = bytesOf(root_ / "out");
        r.err = bytesOf(root_ / "err");
        fs::remove(root_ / "out");
        fs::remove(root_ / "err");
        return r;
    }

    // Every entry below the working folder with its bytes (a link as its target, a folder as
    // such), hidden temporaries included.
    std::map<std::string, std::string> files() const {
        std::map<std::string, std::string> all;
        for (const auto &e : fs::recursive_directory_iterator(work())) {
            const std::string rel = fs::relative(e.path(), work()).string();
            if (e.is_symlink())
                all[rel] = "-> " + fs::read_symlink(e.path()).string();
            else if (e.is_regular_file())
                all[rel] = bytesOf(e.path());
            else
                all[rel] = "<folder>";
        }
        return all;
    }

private:
    static std::string escaped(const std::string &s) {
        std::string out;
        for (char c : s) {
            if (c == '"' || c == '\\' || c == '$' || c == '`') out += '\\';
            out += c;
        }
        return out;
    }

    fs::path root_;
};

// Whether every line of `text` that is not blank is a JSON document in strict UTF-8, as Python's
// json module reads it (the commands print one object per drawing, each on a line).
inline bool isJsonLines(const std::string &text) {
    const fs::path file = fs::temp_directory_path() /
                          ("quentar-json-" + std::to_string(::getpid()) + ".json");
    std::ofstream(file, std::ios::binary) << text;
    const int st = std::system(("/usr/bin/python3 -c 'import json,sys; "
                                "[json.loads(l) for l in open(sys.argv[1], encoding=\"utf-8\", "
                                "errors=\"strict\") if l.strip()]' '" +
                                file.string() + "' 2>/dev/null")
                                   .c_str());
    fs::remove(file);
    return st == 0;
}

} // namespace quentar::testing
