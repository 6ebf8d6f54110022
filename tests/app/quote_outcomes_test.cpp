// quentar quote with input that must be refused, outputs that cannot be written and data files
// that are damaged: the message, the exit code, and every file left as it was.
#include "../costing/costing_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <cmath>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using quentar::costing::testing::Bytes;

const std::string kSample =
    std::string(QUENTAR_SAMPLES_DIR) + "/voron_deck_panel_fusion360_r14.dxf";

std::string bytesOf(const fs::path &p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void put(const fs::path &p, const std::string &bytes) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
}

// A working folder with a drawing p.dxf, a data folder "data" and the user's settings below "cfg"
// (the per-user INI file the calculator window writes); the command runs inside it.
class Scratch {
public:
    Scratch() {
        std::string tmpl = (fs::temp_directory_path() / "quentar-quote-XXXXXX").string();
        EXPECT_NE(::mkdtemp(tmpl.data()), nullptr);
        root_ = tmpl;
        fs::create_directories(root_ / "work/data");
        // Qt's GUI application wants a private runtime folder and says so on stderr otherwise.
        fs::create_directories(root_ / "run");
        fs::permissions(root_ / "run", fs::perms::owner_all);
        fs::copy_file(kSample, root_ / "work/p.dxf");
    }
    ~Scratch() { fs::remove_all(root_); }

    fs::path work() const { return root_ / "work"; }
    fs::path ini() const { return work() / "cfg/Morvane/Quentar.ini"; }

    struct Run {
        int status = -1;
        std::string out, err;
    };
    // `args` as a shell would split them; stdout and stderr are kept outside the working folder.
    Run quote(const std::string &args, const std::string &redirect = "") const {
        const std::string cmd =
            "cd '" + work().string() + "' && XDG_CONFIG_HOME='" + (work() / "cfg").string() +
            "' XDG_DATA_HOME='" + (work() / "xdg").string() + "' XDG_RUNTIME_DIR='" +
            (root_ / "run").string() + "' '" + QUENTAR_BINARY + "' quote " + args + " >" +
            (redirect.empty() ? "'" + (root_ / "out").string() + "'" : redirect) + " 2>'" +
            (root_ / "err").string() + "'";
        Run r;
        const int st = std::system(cmd.c_str());
        r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
        r.out = bytesOf(root_ / "out");
        r.err = bytesOf(root_ / "err");
        return r;
    }

    // Every file below the working folder with its bytes (symbolic links as their target).
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
    fs::path root_;
};

// material.dat with the four default names, Stahl at a negative price.
std::string materialsWithANegativePrice() {
    Bytes b;
    b.i32(2).str(u"Edelstahl").str(u"3.00").str(u"7.80").str(u"Stahl").str(u"-1.00").str(u"7.80");
    b.i32(1).i32(1).f64(1).f64(8.2);
    return b.bytes();
}

std::string twoTiers() {
    return Bytes().i32(2).str(u"10").str(u"5").str(u"100").str(u"10").bytes();
}

} // namespace

// Refused: one line on stderr naming what and why, exit 2, nothing on stdout and no file written
// or changed.
TEST(QuoteOutcomes, NonsenseIsRefusedAndNothingIsWritten) {
    struct Case {
        const char *name;
        std::string args;
        std::string message; // the whole stderr, without "quentar: " and the line end
        std::function<void(const Scratch &)> setUp;
    };
    const auto ini = [](std::string body) {
        return [body](const Scratch &s) { put(s.ini(), "[TLaserForm]\n" + body + "\n"); };
    };
    const Case cases[] = {
        {"a fraction of a piece", "p.dxf --quantity 1.5 --csv o.csv",
         "--quantity: 1.5 is not a whole number"},
        {"more pieces than the field holds", "p.dxf --quantity 1e9",
         "--quantity: 1e9 must be at most 10000000"},
        {"no pieces", "p.dxf --set StueckEd=0 --json", "StueckEd: 0 must be at least 1"},
        {"no sheet", "p.dxf --thickness 0", "--thickness: 0 must be more than 0"},
        {"a thickness that is no number", "p.dxf --set MatstarkEd=inf",
         "MatstarkEd: inf is not a number"},
        {"a negative machine rate", "p.dxf --set StundensatzEd=-250",
         "StundensatzEd: -250 must be at least 0"},
        {"a negative programming rate", "p.dxf --set ProgramStundenEd=-1",
         "ProgramStundenEd: -1 must be at least 0"},
        {"a mark-up below -100 %", "p.dxf --set GewinnAufschlagEd=-101",
         "GewinnAufschlagEd: -101 must be at least -100"},
        {"a discount above 100 %", "p.dxf --set RabattEd=100.5",
         "RabattEd: 100.5 must be at most 100"},
        {"an allowance that takes the part away", "p.dxf --set MatZugabeEd=-185",
         "MatZugabeEd: -185 takes away the whole part: it must be more than -184.5"},
        {"NaN for the feed", "p.dxf --set vorschubed=nan", "vorschubed: nan is not a number"},
        {"a computed field", "p.dxf --set GesamtPreisEd=1",
         "GesamtPreisEd: 1 is computed from the other fields and cannot be set"},
        {"a time that is none", "p.dxf --set ProgrammierEd=soon",
         "ProgrammierEd: soon is not a time (H:MM:SS)"},
        {"an unknown field", "p.dxf --set NoSuchField=1", "unknown field: NoSuchField"},
        {"an unknown material", "p.dxf --material Holz", "unknown material: Holz"},
        {"a stored negative rate", "p.dxf --json",
         "{ini}: StundensatzEd_Value: -5 must be at least 0", ini("StundensatzEd_Value=-5")},
        {"a stored hole count that is no whole number", "p.dxf",
         "{ini}: AnzLochEd_Value: 2.5 is not a whole number", ini("AnzLochEd_Value=2.5")},
        {"a stored time that is none", "p.dxf", "{ini}: InitialEd_Time: -1 must be at least 0",
         ini("InitialEd_Time=-1")},
        {"a material file's negative price", "p.dxf --data-dir data --material Stahl",
         "data/material.dat, material 2 (Stahl), price: -1.00 must be at least 0; the material "
         "cannot be priced as it is",
         [](const Scratch &s) {
             put(s.work() / "data/material.dat", materialsWithANegativePrice());
         }},
        {"the drawing as the CSV output", "p.dxf --csv p.dxf",
         "--csv p.dxf is the drawing p.dxf, which would be overwritten"},
        {"the drawing by another path", "p.dxf --pdf ./data/../p.dxf",
         "--pdf ./data/../p.dxf is the drawing p.dxf, which would be overwritten"},
        {"the drawing through a link", "p.dxf --text link.txt",
         "--text link.txt is the drawing p.dxf, which would be overwritten",
         [](const Scratch &s) { fs::create_symlink("p.dxf", s.work() / "link.txt"); }},
        {"the drawing by a hard link", "p.dxf --csv other.csv",
         "--csv other.csv is the drawing p.dxf, which would be overwritten",
         [](const Scratch &s) {
             fs::create_hard_link(s.work() / "p.dxf", s.work() / "other.csv");
         }},
        {"two outputs in one file", "p.dxf --csv o.csv --text o.csv",
         "--csv and --text name the same file o.csv"},
        {"a drawing that is not there", "missing.dxf --csv o.csv", "cannot open missing.dxf: no such file"},
        {"one quotation for two drawings", "p.dxf p.dxf --pdf o.pdf",
         "--pdf and --text take the quotation of one drawing"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Scratch s;
        if (c.setUp) c.setUp(s);
        const auto before = s.files();
        const Scratch::Run r = s.quote(c.args);
        std::string expected = "quentar: " + c.message + "\n";
        if (const auto at = expected.find("{ini}"); at != std::string::npos)
            expected.replace(at, 5, s.ini().string());
        EXPECT_EQ(r.err, expected);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(s.files(), before);
    }
}

// An output that cannot be written: exit 1, and no part of a file anywhere.
TEST(QuoteOutcomes, AnOutputThatCannotBeWrittenLeavesNoHalfFile) {
    struct Case {
        const char *name;
        std::string args, redirect;
        std::string message;
    };
    const Case cases[] = {
        {"a CSV file below a missing folder", "p.dxf --csv missing/o.csv", "",
         "cannot write missing/o.csv: no such folder"},
        {"a PDF below a regular file", "p.dxf --pdf p.dxf/o.pdf --csv o.csv", "",
         "cannot write p.dxf/o.pdf: a part of its path is not a folder"},
        {"a text file that is a folder", "p.dxf --text data", "",
         "cannot write data: it is a folder"},
        {"a full standard output", "p.dxf --json", "/dev/full", "cannot write the standard output"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Scratch s;
        const auto before = s.files();
        const Scratch::Run r = s.quote(c.args, c.redirect);
        EXPECT_EQ(r.err, "quentar: " + c.message + "\n");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(s.files(), before) << "no temporary, no half file, nothing written before";
    }
}

// Damaged data files and a data folder that is not there: a warning naming the file, what is used
// instead and that the file is kept; the quotation is made (exit 0) and the file stays as it was.
TEST(QuoteOutcomes, DamagedDataFilesAreNamedAndKept) {
    struct Case {
        const char *name;
        std::string args;
        std::map<std::string, std::string> files; // below the working folder
        std::string warning;                      // {dir}: the working folder
        const char *priceShown;                   // the JSON's price per piece
    };
    const std::string truncated = twoTiers().substr(0, 20);
    const Case cases[] = {
        {"material.dat cut short",
         "--data-dir data",
         {{"data/material.dat", materialsWithANegativePrice().substr(0, 30)}},
         "data/material.dat is damaged: the default materials are used; the file is left "
         "untouched until the materials are changed",
         "\"MatPreisEd\":\"3.00\""},
        {"staffel.dat with a count beyond its data",
         "--data-dir data --quantity 100",
         {{"data/staffel.dat", truncated}},
         "data/staffel.dat is damaged: no quantity tiers are used; the file is left untouched "
         "until the tiers are changed",
         "\"RabattEd\":\"0.00\""},
        {"a data folder that is not there",
         "--data-dir nowhere",
         {},
         "the data folder nowhere does not exist: the default materials and no quantity tiers "
         "are used",
         "\"material\":\"Edelstahl\""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Scratch s;
        for (const auto &[name, bytes] : c.files) put(s.work() / name, bytes);
        const auto before = s.files();
        const Scratch::Run r = s.quote("p.dxf --json " + c.args);
        EXPECT_EQ(r.err, "quentar: warning: " + c.warning + "\n");
        EXPECT_EQ(r.status, 0);
        EXPECT_NE(r.out.find(c.priceShown), std::string::npos) << r.out;
        // A damaged file is named in the quotation's own warnings too, not on stderr only.
        if (!c.files.empty())
            EXPECT_NE(r.out.find("{\"code\":\"damaged-file\",\"message\":\"" + c.warning +
                                 "\"}"),
                      std::string::npos)
                << r.out;
        EXPECT_EQ(s.files(), before);
    }
}

// Values of the data files that make no sense (a price or weight that is no number, a feed rate of
// NaN or 0, a discount of 150 %, -50 % or NaN) never stand in for a figure silently: each row is
// refused with a line naming the file, row and field, on stderr and in the JSON and CSV warnings;
// the tier below applies, the feed comes from a sound entry, and choosing a damaged material is
// refused with that line.
TEST(QuoteOutcomes, DamagedValuesOfTheDataFilesAreRefusedRowByRow) {
    Scratch s;
    Bytes materials;
    materials.i32(3)
        .str(u"Edelstahl").str(u"3.00").str(u"7.80")
        .str(u"Stahl").str(u"abc").str(u"7.80")
        .str(u"Aluminium").str(u"4.00").str(u"nan");
    materials.i32(5)
        .i32(0).f64(1).f64(11.5)
        .i32(0).f64(2).f64(std::nan(""))
        .i32(0).f64(3).f64(0)
        .i32(1).f64(1).f64(8.2)
        .i32(2).f64(1).f64(14.5);
    put(s.work() / "data/material.dat", materials.bytes());
    put(s.work() / "data/staffel.dat", Bytes()
                                           .i32(4)
                                           .str(u"10").str(u"150")
                                           .str(u"20").str(u"-50")
                                           .str(u"30").str(u"nan")
                                           .str(u"5").str(u"10")
                                           .bytes());
    const std::string refused[] = {
        "data/material.dat, material 2 (Stahl), price: abc is not a number; the material cannot "
        "be priced as it is",
        "data/material.dat, material 3 (Aluminium), specific weight: nan is not a number; the "
        "material cannot be priced as it is",
        "data/material.dat, feed entry 2 (Edelstahl, 2 mm), feed rate: nan is not a number; the "
        "entry is left out",
        "data/material.dat, feed entry 3 (Edelstahl, 3 mm), feed rate: 0 is not above 0; the "
        "entry is left out",
        "data/staffel.dat, tier 1, discount: 150 must be at most 100; the tier is left out",
        "data/staffel.dat, tier 2, discount: -50 must be at least 0; the tier is left out",
        "data/staffel.dat, tier 3, discount: nan is not a number; the tier is left out",
    };
    const auto before = s.files();
    const Scratch::Run r = s.quote("p.dxf --data-dir data --material Edelstahl --thickness 2 "
                                   "--quantity 35 --json --csv o.csv");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string csv = bytesOf(s.work() / "o.csv");
    for (const std::string &line : refused) {
        SCOPED_TRACE(line);
        EXPECT_NE(r.err.find("quentar: warning: " + line + "\n"), std::string::npos) << r.err;
        EXPECT_NE(r.out.find("{\"code\":\"damaged-value\",\"message\":\"" + line + "\"}"),
                  std::string::npos);
        EXPECT_NE(csv.find(line), std::string::npos);
    }
    // The 1 mm entry's feed (the 2 mm one is NaN), the 5-piece tier's 10 % (not 100 % from 150).
    EXPECT_NE(r.out.find("\"vorschubed\":\"11.50\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"RabattEd\":\"10.00\""), std::string::npos) << r.out;
    fs::remove(s.work() / "o.csv");
    EXPECT_EQ(s.files(), before) << "the data files are kept as they are";

    // A damaged material itself, and a feed of 0 given by hand, are refused.
    const struct {
        std::string args, message;
    } refusals[] = {
        {"--material Stahl", refused[0]},
        {"--material Aluminium", refused[1]},
        {"--set vorschubed=0", "vorschubed: 0 must be at least 0.001"},
    };
    for (const auto &c : refusals) {
        SCOPED_TRACE(c.args);
        const Scratch::Run q = s.quote("p.dxf --data-dir data --json " + c.args);
        EXPECT_EQ(q.status, 2);
        EXPECT_EQ(q.err, "quentar: " + c.message + "\n");
        EXPECT_EQ(q.out, "");
    }
}

// One quotation, whatever shows it: every price of the JSON stands in the PDF's text and, for the
// offer prices, in the text file, also with a discount set by hand that the tiers would replace.
TEST(QuoteOutcomes, JsonPdfTextAndTheBreakdownShowTheSamePrices) {
    if (std::system("command -v pdftotext >/dev/null") != 0)
        GTEST_SKIP() << "poppler-utils are installed by the test set-up";
    Scratch s;
    put(s.work() / "data/staffel.dat", twoTiers());
    const std::string opts = "p.dxf --data-dir data --quantity 20 --set RabattEd=15 --offers";
    const Scratch::Run json = s.quote(opts + " --json --pdf q.pdf --text q.txt");
    ASSERT_EQ(json.status, 0) << json.err;
    const Scratch::Run text = s.quote(opts);
    ASSERT_EQ(text.status, 0) << text.err;
    const std::string pdf = [&] {
        std::string out;
        FILE *p =
            popen(("pdftotext -layout '" + (s.work() / "q.pdf").string() + "' -").c_str(), "r");
        char buf[4096];
        for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
        EXPECT_EQ(pclose(p), 0) << "the PDF must read";
        return out;
    }();
    const std::string offers = bytesOf(s.work() / "q.txt");

    auto field = [&](const std::string &name) {
        const std::string key = "\"" + name + "\":\"";
        const std::size_t at = json.out.find(key);
        EXPECT_NE(at, std::string::npos) << name;
        if (at == std::string::npos) return std::string("<none>");
        const std::size_t from = at + key.size();
        return json.out.substr(from, json.out.find('"', from) - from);
    };
    // Each price as the quotation words it, and how the breakdown on stdout shows it.
    const struct {
        const char *field, *report, *breakdown;
    } prices[] = {
        {"RabattEd", "Rabatt auf Maschinenstundensatz: {} %",
         "Rabatt auf Maschinenstundensatz: {} %"},
        {"matkostenEd", "Materialkosten/Stück: {} EUR", "Materialkosten/Stück: {} EUR"},
        {"SchneidkostenEd", "Laserkosten/Stück: {} EUR", "Laserkosten/Stück:    {} EUR"},
        {"lohnkostened", "Lohnkosten: {} EUR", "Lohnkosten:           {} EUR"},
        {"GesamtKostenEd", "Gesamtkosten/Stück: {} EUR", "Gesamtkosten/Stück:   {} EUR"},
        {"PreisProStueckEd", "Preis/Stück: {} EUR", "Preis/Stück:          {} EUR"},
        {"GesamtPreisEd", "Gesamtpreis: {} EUR", "Gesamtpreis:          {} EUR"},
    };
    for (const auto &p : prices) {
        SCOPED_TRACE(p.field);
        auto with = [&](std::string pattern) {
            return pattern.replace(pattern.find("{}"), 2, field(p.field));
        };
        EXPECT_NE(pdf.find(with(p.report)), std::string::npos) << with(p.report) << "\n" << pdf;
        EXPECT_NE(text.out.find(with(p.breakdown)), std::string::npos) << text.out;
    }
    EXPECT_EQ(field("RabattEd"), "15") << "the hand-set discount, not the tier's 5 %";

    // The offer lines: in the JSON, the PDF, the text file (CR LF) and the breakdown alike.
    const std::regex line("\"(Angebotspreis[^\"]*)\"");
    std::string expectedFile;
    int lines = 0;
    for (std::sregex_iterator it(json.out.begin(), json.out.end(), line), end; it != end; ++it) {
        const std::string l = (*it)[1];
        ++lines;
        EXPECT_NE(pdf.find(l), std::string::npos) << l;
        EXPECT_NE(text.out.find("    " + l + "\n"), std::string::npos) << l;
    }
    EXPECT_EQ(lines, 6);
    const std::size_t first = json.out.find("\"offers\":[");
    ASSERT_NE(first, std::string::npos);
    const std::regex item("\"([^\"]*)\"[,\\]]");
    for (std::sregex_iterator
             it(json.out.begin() + static_cast<std::ptrdiff_t>(first), json.out.end(), item),
         end;
         it != end; ++it)
        expectedFile += std::string((*it)[1]) + "\r\n";
    EXPECT_EQ(offers, expectedFile);
}
