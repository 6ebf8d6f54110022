// quentar quote --sheet: the sheet figures in every output, stored formats from the data folder,
// and the refusals; without --sheet nothing changes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
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

// A working folder with the drawing p.dxf and a data folder; the user's settings stay inside.
class SheetScratch {
  public:
    SheetScratch() {
        std::string tmpl = (fs::temp_directory_path() / "quentar-sheet-XXXXXX").string();
        EXPECT_NE(::mkdtemp(tmpl.data()), nullptr);
        root_ = tmpl;
        fs::create_directories(root_ / "data");
        fs::copy_file(kSample, root_ / "p.dxf");
    }
    ~SheetScratch() { fs::remove_all(root_); }
    const fs::path &root() const { return root_; }

    struct Run {
        int status = -1;
        std::string out, err;
    };
    Run quote(const std::string &args) const {
        const std::string cmd = "cd '" + root_.string() + "' && XDG_CONFIG_HOME='" +
                                (root_ / "cfg").string() + "' '" + QUENTAR_BINARY +
                                "' quote p.dxf --data-dir data " + args + " >out 2>err";
        Run r;
        const int st = std::system(cmd.c_str());
        r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
        r.out = bytesOf(root_ / "out");
        r.err = bytesOf(root_ / "err");
        return r;
    }

  private:
    fs::path root_;
};

std::string jsonValue(const std::string &json, const std::string &key) {
    const std::regex re("\"" + key + "\":\"?([^\",}]*)");
    std::smatch m;
    return std::regex_search(json, m, re) ? m[1].str() : "<none>";
}

} // namespace

TEST(QuoteSheet, TheFiguresAgreeInEveryOutput) {
    SheetScratch s;
    // Stahl's second stored format; the first row of the file is damaged and left out.
    std::ofstream(s.root() / "data/sheets.txt")
        << "remnant=used\nStahl;3000;15OO;10;5;\nStahl;2000;1000;20;8;99.5\n";
    const std::string opts = "--material Stahl --quantity 40 --sheet 1";
    const SheetScratch::Run json = s.quote(opts + " --json");
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_NE(json.err.find("sheets.txt, row 2, field length: \"15OO\" is not a number"),
              std::string::npos)
        << json.err;
    EXPECT_EQ(jsonValue(json.out, "format"), "2000x1000");
    EXPECT_EQ(jsonValue(json.out, "trim"), "20");
    EXPECT_EQ(jsonValue(json.out, "gap"), "8");
    EXPECT_EQ(jsonValue(json.out, "remnant"), "used");
    // 99.50 per sheet with the 20 % mark-up.
    EXPECT_EQ(jsonValue(json.out, "sheetPrice"), "119.40");
    const std::string perSheet = jsonValue(json.out, "piecesPerSheet");
    const std::string sheets = jsonValue(json.out, "sheetsNeeded");
    const std::string cost = jsonValue(json.out, "materialCostPerPiece");
    const std::string blank = jsonValue(json.out, "blankMaterialCostPerPiece");
    EXPECT_EQ(blank, jsonValue(json.out, "matkostenEd"));
    const int n = std::stoi(perSheet);
    EXPECT_GT(n, 0);
    EXPECT_EQ(std::stoi(sheets), (40 + n - 1) / n);

    const SheetScratch::Run text = s.quote(opts);
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("Tafel 2000 x 1000 mm (Rand 20, Abstand 8): " + perSheet +
                            " Stück/Tafel, " + sheets + " Tafeln"),
              std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("Materialkosten/Stück nach Tafel: " + cost +
                            " EUR (Reststück nicht berechnet), nach Zuschnitt: " + blank + " EUR"),
              std::string::npos)
        << text.out;

    const SheetScratch::Run csv = s.quote(opts + " --csv q.csv");
    ASSERT_EQ(csv.status, 0) << csv.err;
    const std::string table = bytesOf(s.root() / "q.csv");
    EXPECT_NE(table.find(",sheet_format,sheet_pieces_per_sheet,sheet_sheets_needed,"
                         "sheet_utilisation,sheet_price,sheet_material_cost_per_piece,warnings"),
              std::string::npos);
    EXPECT_NE(table.find(",2000x1000," + perSheet + "," + sheets + ","), std::string::npos);
    EXPECT_NE(table.find(",119.40," + cost + ","), std::string::npos) << table;
}

TEST(QuoteSheet, WithoutItNothingChanges) {
    SheetScratch s;
    const SheetScratch::Run json = s.quote("--json"), text = s.quote("");
    ASSERT_EQ(json.status, 0);
    EXPECT_EQ(json.out.find("\"sheet\""), std::string::npos);
    EXPECT_EQ(text.out.find("Tafel"), std::string::npos);
    EXPECT_EQ(s.quote("--csv q.csv").status, 0);
    EXPECT_EQ(bytesOf(s.root() / "q.csv").find("sheet_"), std::string::npos);
    EXPECT_FALSE(fs::exists(s.root() / "data/sheets.txt")); // nothing is written unasked
}

TEST(QuoteSheet, NonsenseIsRefusedInOneLine) {
    SheetScratch s;
    struct Case {
        const char *args;
        const char *message;
    };
    for (const Case &c : std::initializer_list<Case>{
             {"--sheet 300x300", "is larger than the sheet's usable area"},
             {"--sheet big", "no sheet format big for Edelstahl"},
             {"--sheet 3000x1500 --sheet-gap -1", "--sheet-gap: -1 is not a number"},
             {"--sheet 3000x1500 --remnant some", "--remnant: some is not whole or used"},
             {"--sheet 3000x1500 --rotation-step 7", "--rotation-step: 7 does not divide"},
             {"--sheet 3000x1500 --sheet-trim 750", "leaves nothing of the sheet"},
             {"--sheet-trim 5", "the sheet options need --sheet"},
         }) {
        SCOPED_TRACE(c.args);
        const SheetScratch::Run r = s.quote(c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.out.empty());
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
}
