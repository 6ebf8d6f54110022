// The headless commands as a user runs them: exit status, JSON on stdout, errors on stderr.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct CommandRun {
    int status;
    std::string out;
    std::string err;
};

std::string bytesOf(const fs::path &p);

CommandRun run(const std::string &args) {
    // One file per test process: ctest runs several of these at once.
    const fs::path errFile = fs::temp_directory_path() /
                             ("quentar_commands_test." + std::to_string(getpid()) + ".err");
    const std::string cmd =
        "'" + std::string(QUENTAR_BINARY) + "' " + args + " 2>'" + errFile.string() + "'";
    CommandRun r{-1, {}, {}};
    FILE *p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    r.err = bytesOf(errFile);
    fs::remove(errFile);
    return r;
}

std::string bytesOf(const fs::path &p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

const std::string kSample = std::string(QUENTAR_SAMPLES_DIR) + "/voron_deck_panel_fusion360_r14.dxf";

} // namespace

TEST(Commands, InfoPrintsOneJsonObject) {
    const CommandRun r = run("info '" + kSample + "'");
    ASSERT_EQ(r.status, 0);
    ASSERT_FALSE(r.out.empty());
    EXPECT_EQ(r.out.front(), '{');
    EXPECT_EQ(r.out.substr(r.out.size() - 2), "}\n");
    for (const char *key : {"\"cadver\":1014", "\"anzpoly\":6", "\"entities\":{\"CIRCLE\":1,\"LWPOLYLINE\":5}",
                            "\"tabs\":[\"Model\",\"Layout1\"]", "\"layers\":[", "\"linetypes\":[",
                            "\"layouts\":[]", "\"blocks\":["})
        EXPECT_NE(r.out.find(key), std::string::npos) << key;
    EXPECT_EQ(r.out.find("\"polys\""), std::string::npos);

    const CommandRun e = run("info '" + kSample + "' --entities");
    ASSERT_EQ(e.status, 0);
    EXPECT_NE(e.out.find("\"polys\":[{\"keyword\":"), std::string::npos);
    EXPECT_NE(e.out.find("\"donotdraw\":true"), std::string::npos);
}

TEST(Commands, UnreadableFilesAndBadUsage) {
    EXPECT_EQ(run("info /nonexistent/drawing.dxf").status, 2);
    EXPECT_EQ(run("info").status, 2);
    EXPECT_EQ(run("frobnicate").status, 2);
    EXPECT_EQ(run("resave /nonexistent/a.dxf /tmp/b.dxf").status, 2);
    // A file that is no drawing is refused, saying what it is.
    const CommandRun text = run("info /etc/hostname");
    EXPECT_EQ(text.status, 2);
    EXPECT_NE(text.err.find("not a DXF drawing but a text without DXF sections"),
              std::string::npos)
        << text.err;
}

TEST(Commands, ResaveWritesTheSameBytes) {
    const fs::path out = fs::temp_directory_path() / "quentar_resave_test.dxf";
    ASSERT_EQ(run("resave '" + kSample + "' '" + out.string() + "'").status, 0);
    EXPECT_TRUE(bytesOf(out) == bytesOf(kSample));
    fs::remove(out);
    EXPECT_EQ(run("resave '" + kSample + "' /nonexistent/dir/out.dxf").status, 1);
}

TEST(Commands, MeasureTakesOverTheFigures) {
    const CommandRun r = run("measure '" + kSample + "'");
    ASSERT_EQ(r.status, 0);
    for (const char *key : {"\"tab\":0", "\"width\":369.00", "\"length\":369.00", "\"flaechen\":[",
                            "\"net_area\":", "\"coverage\":", "\"konturlang\":1726.35"})
        EXPECT_NE(r.out.find(key), std::string::npos) << key << "\n" << r.out;
    EXPECT_EQ(r.out.find("\"preview\""), std::string::npos);
    EXPECT_EQ(run("measure '" + kSample + "' --tab 7").status, 2);
    EXPECT_EQ(run("measure /nonexistent.dxf").status, 2);
}

TEST(Commands, MeasureWritesThePreviewPicture) {
    const fs::path png = fs::temp_directory_path() / "quentar_measure_test.png";
    fs::remove(png);
    const CommandRun r = run("measure '" + kSample + "' --preview '" + png.string() + "'");
    ASSERT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\"preview\":"), std::string::npos);
    const std::string bytes = bytesOf(png);
    ASSERT_GT(bytes.size(), 24u);
    EXPECT_EQ(bytes.substr(1, 3), "PNG");
    auto be32 = [&](std::size_t at) {
        return (static_cast<unsigned char>(bytes[at]) << 24) |
               (static_cast<unsigned char>(bytes[at + 1]) << 16) |
               (static_cast<unsigned char>(bytes[at + 2]) << 8) |
               static_cast<unsigned char>(bytes[at + 3]);
    };
    EXPECT_EQ(be32(16), 180u); // IHDR width
    EXPECT_EQ(be32(20), 210u); // IHDR height
    fs::remove(png);
}

TEST(Commands, QuotePrintsTheBreakdownAndTheSameFiguresAsJson) {
    const std::string opts = " --material Stahl --thickness 2 --quantity 10";
    const CommandRun text = run("quote '" + kSample + "'" + opts);
    ASSERT_EQ(text.status, 0);
    const CommandRun json = run("quote '" + kSample + "'" + opts + " --json");
    ASSERT_EQ(json.status, 0);
    // Every price line of the breakdown shows the text of its field in the JSON object.
    for (const char *name : {"PreisProStueckEd", "GesamtPreisEd", "matkostenEd", "lohnkostened"}) {
        const std::string key = std::string("\"") + name + "\":\"";
        const std::size_t at = json.out.find(key);
        ASSERT_NE(at, std::string::npos) << name;
        const std::string value = json.out.substr(at + key.size(),
                                                  json.out.find('"', at + key.size()) - at - key.size());
        EXPECT_NE(text.out.find(value + " EUR"), std::string::npos) << name << " " << value;
    }
    EXPECT_NE(json.out.find("\"material\":\"Stahl\""), std::string::npos);
    EXPECT_NE(json.out.find("\"StueckEd\":\"10\""), std::string::npos);
}

// A plate of 100 x 50 with a hole, dimensioned, with a hatch and a frame on a frozen layer: only
// the plate is priced, by default, and the breakdown says what was left out.
TEST(Commands, MeasureAndQuotePriceOnlyWhatIsCut) {
    const std::string part =
        std::string(QUENTAR_FIXTURES_DIR) + "/drawings/part_dimensions_hatch_frozen_frame.dxf";
    const CommandRun m = run("measure '" + part + "'");
    ASSERT_EQ(m.status, 0) << m.err;
    const CommandRun q = run("quote '" + part + "' --json");
    ASSERT_EQ(q.status, 0) << q.err;
    for (const char *key :
         {"\"konturlang\":362.82", "\"width\":100.00", "\"length\":50.00", "\"parts\":1",
          "\"dimension\":{\"length\":140.99", "\"hatch\":{\"length\":80,\"measured\":false}",
          "\"hidden\":{\"length\":1000,\"measured\":false,\"by\":[{\"why\":\"frozen\","
          "\"layer\":\"FRAME\""})
        EXPECT_NE(m.out.find(key), std::string::npos) << key << "\n" << m.out;
    for (const char *key : {"\"KonturmmEd\":\"362.82\"", "\"breited\":\"100.00\"",
                            "\"hoched\":\"50.00\"", "\"hidden\":{\"length\":1000"})
        EXPECT_NE(q.out.find(key), std::string::npos) << key << "\n" << q.out;
    EXPECT_NE(q.err.find("frozen layer \"FRAME\" 1000 mm"), std::string::npos) << q.err;
    // The whole drawn figure on request: dimensions and hatch too, never the frozen frame.
    const CommandRun all = run("measure '" + part + "' --all-contours");
    ASSERT_EQ(all.status, 0);
    EXPECT_NE(all.out.find("\"konturlang\":583.81"), std::string::npos) << all.out;
    EXPECT_NE(all.out.find("\"code\":\"not-cut\""), std::string::npos);
}

// A part drawn on a sheet only is measured from its layout, unless model space is asked for.
TEST(Commands, AnEmptyModelSpaceIsMeasuredFromItsLayout) {
    const std::string sheet = std::string(QUENTAR_FIXTURES_DIR) + "/drawings/paper_space_only.dxf";
    const CommandRun m = run("measure '" + sheet + "'");
    ASSERT_EQ(m.status, 0) << m.err;
    EXPECT_NE(m.out.find("\"tab\":1"), std::string::npos);
    EXPECT_NE(m.err.find("the model space is empty"), std::string::npos) << m.err;
    const CommandRun model = run("measure '" + sheet + "' --tab 0");
    EXPECT_EQ(model.status, 2);
    EXPECT_NE(model.err.find("--tab 1 measures it"), std::string::npos) << model.err;
}

TEST(Commands, QuoteReadsTheStoredSettingsAndRejectsBadInput) {
    const fs::path home = fs::temp_directory_path() / "quentar_quote_settings";
    fs::create_directories(home / "Morvane");
    std::ofstream(home / "Morvane" / "Quentar.ini")
        << "[TLaserForm]\nStundensatzEd_Value=120\nWaehrEd_Text=CHF\n";
    const std::string env = "XDG_CONFIG_HOME='" + home.string() + "' ";
    const std::string bin = "'" + std::string(QUENTAR_BINARY) + "' ";
    FILE *p = popen((env + bin + "quote '" + kSample + "' --json 2>/dev/null").c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string out;
    char buf[4096];
    for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    EXPECT_EQ(pclose(p), 0);
    EXPECT_NE(out.find("\"StundensatzEd\":\"120.00\""), std::string::npos) << out;
    fs::remove_all(home);

    const fs::path csv = fs::temp_directory_path() / "quentar_quote_test.csv";
    fs::remove(csv);
    EXPECT_EQ(run("quote '" + kSample + "' --set NoSuchField=1 --csv '" + csv.string() + "'").status, 2);
    EXPECT_EQ(run("quote '" + kSample + "' --set StundensatzEd=abc").status, 2);
    EXPECT_EQ(run("quote '" + kSample + "' --set ProgrammierEd=soon").status, 2);
    EXPECT_EQ(run("quote /nonexistent.dxf").status, 2);
    EXPECT_FALSE(fs::exists(csv)); // nothing is written on an error
    ASSERT_EQ(run("quote '" + kSample + "' '" + kSample + "' --csv '" + csv.string() + "'").status, 0);
    const std::string rows = bytesOf(csv);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 3);
    EXPECT_EQ(rows.rfind("file,material,MaterialBoxEd,", 0), 0u);
    fs::remove(csv);
}

TEST(Commands, QuoteWritesAQuotationPdfAndTheOfferText) {
    if (std::system("command -v qpdf >/dev/null && command -v pdftotext >/dev/null") != 0)
        GTEST_SKIP() << "qpdf and poppler-utils are installed by the test set-up";
    const fs::path dir = fs::temp_directory_path() / "quentar_quote_pdf";
    fs::create_directories(dir);
    const std::string pdf = (dir / "q.pdf").string(), txt = (dir / "q.txt").string();
    ASSERT_EQ(run("quote '" + kSample + "' --material Stahl --thickness 2 --quantity 10 --project "
                  "Deckel --pdf '" + pdf + "' --text '" + txt + "'").status,
              0);
    // qpdf exits 3 when it has only warnings: 0 means a clean file.
    EXPECT_EQ(std::system(("qpdf --check '" + pdf + "' >/dev/null 2>&1").c_str()), 0);
    const std::string text = [&] {
        std::string out;
        FILE *p = popen(("pdftotext -layout '" + pdf + "' - 2>/dev/null").c_str(), "r");
        char buf[4096];
        for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
        pclose(p);
        return out;
    }();
    std::size_t at = 0;
    for (const char *line : {"Quentar Deckel", "Material: Stahl", "Menge: 10 Stück",
                             "Konturlänge: 1726.35 mm", "Preis/Stück:", "Gesamtpreis:"}) {
        const std::size_t found = text.find(line, at);
        EXPECT_NE(found, std::string::npos) << line << "\n" << text;
        if (found != std::string::npos) at = found;
    }
    EXPECT_NE(bytesOf(txt).find("Angebotspreis"), std::string::npos);
    EXPECT_EQ(run("quote '" + kSample + "' '" + kSample + "' --pdf '" + pdf + "'").status, 2);
    fs::remove_all(dir);
}
