// What is not a drawing, or cannot be measured, is refused by every command with one line and
// one exit code, and no input is overwritten: missing files, text, images, binary DXF, empty
// drawings, outputs naming their input, outputs that cannot be written, memory that runs out,
// arguments that make no sense.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

const std::string kSample =
    std::string(QUENTAR_SAMPLES_DIR) + "/voron_deck_panel_fusion360_r14.dxf";

std::string bytesOf(const fs::path &p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class Work {
public:
    Work() {
        std::string tmpl = (fs::temp_directory_path() / "quentar-refuse-XXXXXX").string();
        EXPECT_NE(::mkdtemp(tmpl.data()), nullptr);
        root_ = tmpl;
        fs::copy_file(kSample, root_ / "p.dxf");
        put("text.dxf", "Parts list\nbracket 2x\n");
        put("image.dxf", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
        put("empty.dxf", "  \r\n\r\n");
        put("binary.dxf", std::string("AutoCAD Binary DXF\r\n\x1a\0", 22));
        put("nothing.dxf", "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n");
    }
    ~Work() { fs::remove_all(root_); }
    void put(const std::string &name, const std::string &bytes) {
        std::ofstream(root_ / name, std::ios::binary) << bytes;
    }
    const fs::path &root() const { return root_; }

    struct Run {
        int status = -1;
        std::string err;
    };
    // Runs quentar in the folder; `limit` caps its virtual memory (kB) when not 0.
    Run run(const std::string &args, long limit = 0) const {
        const std::string cmd = "cd '" + root_.string() + "' && " +
                                (limit ? "ulimit -v " + std::to_string(limit) + " && " : "") +
                                "'" + QUENTAR_BINARY + "' " + args + " >/dev/null 2>err.txt";
        const int st = std::system(cmd.c_str());
        Run r;
        r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
        r.err = bytesOf(root_ / "err.txt");
        return r;
    }

private:
    fs::path root_;
};

} // namespace

TEST(Refusals, EveryCommandSaysWhatItFoundWithOneLineAndOneCode) {
    struct Case {
        const char *args;
        int status;
        std::string message; // the whole stderr
    };
    const Case cases[] = {
        {"missing.dxf", 2, "quentar: cannot open missing.dxf: no such file\n"},
        {"text.dxf", 2,
         "quentar: cannot open text.dxf: not a DXF drawing but a text without DXF sections\n"},
        {"measure image.dxf", 2,
         "quentar: cannot open image.dxf: not a DXF drawing but a PNG image\n"},
        {"quote empty.dxf", 2, "quentar: cannot open empty.dxf: the file is empty\n"},
        {"info binary.dxf", 2,
         "quentar: cannot open binary.dxf: a binary DXF file, only text DXF files are read\n"},
        {"measure nothing.dxf", 2, "quentar: cannot price nothing.dxf: the drawing has no entities\n"},
        {"quote nothing.dxf --json", 2,
         "quentar: cannot price nothing.dxf: the drawing has no entities\n"},
        {"resave missing.dxf out.dxf", 2, "quentar: cannot open missing.dxf: no such file\n"},
        {"measure p.dxf --tab 7", 2,
         "quentar: the drawing has 2 tabs; tab 7 does not exist\n"},
        {"measure p.dxf --preview p.dxf", 2,
         "quentar: --preview p.dxf is the drawing p.dxf, which would be overwritten\n"},
        {"measure p.dxf --preview ./p.dxf", 2,
         "quentar: --preview ./p.dxf is the drawing p.dxf, which would be overwritten\n"},
        {"resave p.dxf p.dxf", 2,
         "quentar: p.dxf is the drawing itself; save it under another name\n"},
        {"measure p.dxf --preview no/such/folder/x.png", 1,
         "quentar: cannot write no/such/folder/x.png: no such folder\n"},
        // Bad arguments: the one line says what is wrong, then where to read how they go.
        {"bogus", 2, "quentar: unknown command 'bogus'; see 'quentar --help'\n"},
        {"measure p.dxf --units furlong", 2,
         "quentar: --units takes auto, mm or inch, not furlong; see 'quentar --help'\n"},
        {"measure p.dxf --units", 2,
         "quentar: --units needs a value: auto, mm or inch; see 'quentar --help'\n"},
        {"measure p.dxf --tab first", 2,
         "quentar: --tab takes the number of a tab, from 0, not first; see 'quentar --help'\n"},
        {"measure", 2, "quentar: measure needs a drawing (FILE.dxf); see 'quentar --help'\n"},
        {"measure p.dxf p.dxf", 2,
         "quentar: measure takes one drawing: p.dxf is one too many; see 'quentar --help'\n"},
        {"info", 2, "quentar: info needs a drawing (FILE.dxf); see 'quentar --help'\n"},
        {"info p.dxf --all", 2, "quentar: info: unknown option --all; see 'quentar --help'\n"},
        {"resave p.dxf", 2,
         "quentar: resave takes a drawing and the file to save it as (IN.dxf OUT.dxf); see "
         "'quentar --help'\n"},
        {"quote", 2,
         "quentar: quote needs at least one drawing (FILE.dxf); see 'quentar --help'\n"},
        {"quote p.dxf --fast", 2, "quentar: quote: unknown option --fast; see 'quentar --help'\n"},
        {"quote p.dxf --material", 2, "quentar: --material needs a value; see 'quentar --help'\n"},
        {"quote p.dxf --set StueckEd", 2,
         "quentar: --set takes FIELD=VALUE, not StueckEd; see 'quentar --help'\n"},
        // An output asked for without a name is refused, not skipped.
        {"quote p.dxf --pdf ''", 2, "quentar: --pdf needs a file name; see 'quentar --help'\n"},
        {"quote p.dxf --csv ''", 2, "quentar: --csv needs a file name; see 'quentar --help'\n"},
        {"measure p.dxf --preview ''", 2,
         "quentar: --preview needs a file name; see 'quentar --help'\n"},
        {"resave p.dxf ''", 2,
         "quentar: resave needs a file name to save as; see 'quentar --help'\n"},
    };
    Work w;
    const std::string drawing = bytesOf(w.root() / "p.dxf");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args);
        const Work::Run r = w.run(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.err, c.message);
        EXPECT_EQ(bytesOf(w.root() / "p.dxf"), drawing); // no input is ever overwritten
        EXPECT_FALSE(fs::exists(w.root() / "out.dxf"));
    }
}

TEST(Refusals, MemoryThatRunsOutIsADrawingTooLarge) {
    Work w;
    {
        std::ofstream out(w.root() / "big.dxf", std::ios::binary);
        out << "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n";
        for (int i = 0; i < 300000; ++i)
            out << "  0\r\nLINE\r\n  8\r\n0\r\n 10\r\n" << i << ".5\r\n 20\r\n0.0\r\n 11\r\n" << i
                << ".5\r\n 21\r\n10.0\r\n";
        out << "  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
    }
    const Work::Run r = w.run("measure big.dxf", 200000);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "quentar: the drawing is too large for the memory available\n");
    // With the memory it needs the same drawing is measured.
    EXPECT_EQ(w.run("measure big.dxf").status, 0);
}

// A large file that is no text is refused by its first bytes: a sparse file of 2 GB less 2 bytes
// (the most that is read at all) is not read whole, 2 GB of memory and seconds, before it is found
// to be binary data.
TEST(Refusals, ALargeBinaryFileIsRefusedWithoutReadingItWhole) {
    Work w;
    const fs::path sparse = w.root() / "sparse.dxf";
    {
        std::ofstream(sparse, std::ios::binary) << "";
    }
    std::error_code ec;
    fs::resize_file(sparse, (std::uintmax_t{1} << 31) - 2, ec);
    if (ec) GTEST_SKIP() << "no sparse file of 2 GB can be made here: " << ec.message();
    // 600 MB of address space: far from enough to hold the file.
    const Work::Run r = w.run("measure sparse.dxf", 600000);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "quentar: cannot open sparse.dxf: not a DXF drawing but binary data\n");
}
