// The drawing window's file operations: templates, open, save, save as, the question and the title.
#include "document/drawing_session.h"
#include "document/dxf_file.h"
#include "document/safe_file.h"
#include "dxf/reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>

namespace quentar::document {
namespace {

namespace fs = std::filesystem;

const std::string kDataDir = std::string(QUENTAR_FIXTURES_DIR) + "/../../data";

// Answers the session's questions from a script and records what it was shown.
class ScriptedUi : public SessionUi {
public:
    std::deque<SaveAnswer> answers;
    std::optional<std::string> saveName, openName;
    std::vector<std::string> errors, messages;
    std::string caption;
    int questions = 0;

    void showTitle(const std::string &c) override { caption = c; }
    void showError(const std::string &t) override { errors.push_back(t); }
    void showMessage(const std::string &t) override { messages.push_back(t); }
    SaveAnswer askToSave(const std::string &text, const std::string &cap) override {
        ++questions;
        EXPECT_EQ(text, "Die Datei ist noch nicht gespeichert. Wollen Sie jetzt speichern?");
        EXPECT_EQ(cap, "Speichern");
        const SaveAnswer a = answers.empty() ? SaveAnswer::Cancel : answers.front();
        if (!answers.empty()) answers.pop_front();
        return a;
    }
    std::optional<std::string> chooseFileToOpen() override { return openName; }
    std::optional<std::string> chooseFileToSave() override { return saveName; }
};

class Session : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "quentar-session-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
        session.setTemplateFolder(kDataDir);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string put(const std::string &name, const std::string &bytes) const {
        const std::string p = (dir_ / name).string();
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }
    static std::string bytesOf(const std::string &path) { return *readWholeFile(path); }

    fs::path dir_;
    ScriptedUi ui;
    int reads = 0;
    dxf::Reader reader;
    DrawingSession session{ui, [this](Drawing &d) {
                               ++reads;
                               reader.processdxf(d);
                           }};
};

const std::string kLine =
    "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nLINE\r\n 10\r\n0.0\r\n 20\r\n"
    "0.0\r\n 11\r\n5.0\r\n 21\r\n0.0\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n";

struct TemplateCase {
    const char *file;
    int cadver;
};

class Templates : public Session, public ::testing::WithParamInterface<TemplateCase> {};

TEST_P(Templates, StartAnUnnamedUnchangedDrawingReadyForEdits) {
    const TemplateCase &c = GetParam();
    session.startNewDrawing(c.file);
    const Drawing &d = session.drawing();
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_EQ(d.cadver, c.cadver);
    EXPECT_GE(d.handleseedpos, 0);
    // Insertion lines for new line types, layers and entities.
    ASSERT_GE(d.ltypeinsetlinenr, 0);
    EXPECT_EQ(d.dxf[static_cast<std::size_t>(d.ltypeinsetlinenr) + 1], "ENDTAB");
    ASSERT_GE(d.layerinsertlinenr, 0);
    EXPECT_EQ(d.dxf[static_cast<std::size_t>(d.layerinsertlinenr) + 1], "ENDTAB");
    ASSERT_GE(d.insertlinepos, 0);
    EXPECT_EQ(d.dxf[static_cast<std::size_t>(d.insertlinepos) + 1], "ENDSEC");
    EXPECT_EQ(d.anzpoly, 0);
    EXPECT_EQ(d.layerNames, std::vector<std::string>{"0"});
    EXPECT_EQ(d.tabCaptions, (std::vector<std::string>{"Model", "Layout1"}));
    EXPECT_TRUE(d.afilename.empty());
    EXPECT_FALSE(d.changed);
    EXPECT_EQ(ui.caption, "DXF Editor - [unbenannt.dxf]");
    // The template is written back as it is: CR LF throughout, nothing lost.
    EXPECT_EQ(dxfFileBytes(d), bytesOf(kDataDir + "/" + c.file));
}

INSTANTIATE_TEST_SUITE_P(Both, Templates,
                         ::testing::Values(TemplateCase{kTemplateR12, 1009},
                                           TemplateCase{kTemplateLatest, 1015}),
                         [](const auto &info) { return "AC" + std::to_string(info.param.cadver); });

TEST_F(Session, LayoutTabsOfTheLaterTemplateOwnTheirBlocks) {
    session.startNewDrawing(kTemplateLatest);
    const Drawing &d = session.drawing();
    ASSERT_EQ(d.layouts.size(), 2u);
    ASSERT_EQ(d.blocks.size(), 2u);
    for (const auto &[layout, block] :
         {std::pair{"Model", "*Model_Space"}, std::pair{"Layout1", "*Paper_Space"}}) {
        SCOPED_TRACE(layout);
        auto l = std::find_if(d.layouts.begin(), d.layouts.end(),
                              [&](const Tlayout &x) { return x.name == layout; });
        auto b = std::find_if(d.blocks.begin(), d.blocks.end(),
                              [&](const tblock &x) { return x.blockname == block; });
        ASSERT_NE(l, d.layouts.end());
        ASSERT_NE(b, d.blocks.end());
        EXPECT_EQ(l->layhan, b->hand);
        EXPECT_LE(l->layhan, d.maxhandle);
    }
}

// UTF-16 bytes with a byte-order mark for text of Latin-1 characters, built without the code
// under test.
std::string utf16(const std::string &latin1, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char ch : latin1) {
        const char c[2] = {'\0', ch};
        out += bigEndian ? std::string(c, 2) : std::string(c + 1, 1) + '\0';
    }
    return out;
}

TEST_F(Session, SavingWritesTheLinesBackWithCrLf) {
    struct Case {
        const char *name;
        std::string in, out;
    };
    // The drawing of kLine with LF line ends only, and a text with a character beyond ASCII.
    std::string lfOnly = kLine;
    for (std::size_t at; (at = lfOnly.find("\r\n")) != std::string::npos;) lfOnly.erase(at, 1);
    const std::string text =
        "  0\r\nSECTION\r\n  0\r\nTEXT\r\n  1\r\nMa\xdf 1\r\n  0\r\nEOF\r\n";
    std::string textLf = text;
    for (std::size_t at; (at = textLf.find("\r\n")) != std::string::npos;) textLf.erase(at, 1);
    const Case cases[] = {
        {"CR LF file comes back byte-identical", kLine, kLine},
        {"an LF file comes back with CR LF, byte for byte", lfOnly, kLine},
        {"a final line end is added", "  0\r\nSECTION\r\n  0\r\nEOF",
         "  0\r\nSECTION\r\n  0\r\nEOF\r\n"},
        {"LF and CR become CR LF", "  0\nSECTION\r  0\r\nEOF\n",
         "  0\r\nSECTION\r\n  0\r\nEOF\r\n"},
        {"bytes beyond ASCII are kept", "  0\r\nSECTION\r\n  1\r\nMa\xdf 1\r\n",
         "  0\r\nSECTION\r\n  1\r\nMa\xdf 1\r\n"},
        {"UTF-16 big-endian stays so", utf16(textLf, true), utf16(text, true)},
        {"UTF-16 little-endian stays so", utf16(text, false), utf16(text, false)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = put("in.dxf", c.in);
        ASSERT_TRUE(session.openfilewithname(path));
        ASSERT_TRUE(session.SaveFile());
        EXPECT_EQ(bytesOf(path), c.out);
        EXPECT_FALSE(session.drawing().changed);
    }
}

// Every sample, whatever program wrote it and whatever its line ends: opened and saved under a new
// name without edits, it comes back byte for byte, its line ends as CR LF.
TEST_F(Session, SampleDrawingsSaveByteIdentical) {
    int samples = 0;
    for (const auto &entry : std::filesystem::directory_iterator(QUENTAR_SAMPLES_DIR)) {
        if (entry.path().extension() != ".dxf") continue;
        ++samples;
        const std::string sample = entry.path().string();
        SCOPED_TRACE(sample);
        ASSERT_TRUE(session.openfilewithname(sample));
        ui.saveName = (dir_ / "copy.dxf").string();
        ASSERT_TRUE(session.saveUnderNewName());
        std::string expected, original = bytesOf(sample);
        for (std::size_t i = 0; i < original.size(); ++i) {
            const char c = original[i];
            if (c == '\r' && i + 1 < original.size() && original[i + 1] == '\n') continue;
            if (c == '\n' || c == '\r') expected += "\r\n";
            else expected += c;
        }
        EXPECT_EQ(bytesOf(*ui.saveName), expected);
        EXPECT_EQ(ui.caption, "DXF Editor - [copy.dxf]");
    }
    EXPECT_GE(samples, 9);
}

TEST_F(Session, OpeningSetsNameTitleAndReadsOnce) {
    const std::string path = put("part.dxf", kLine);
    ASSERT_TRUE(session.openfilewithname(path));
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(session.drawing().afilename, path);
    EXPECT_EQ(session.drawing().anzpoly, 1);
    EXPECT_EQ(ui.caption, "DXF Editor - [part.dxf]");
    session.SetChanged();
    EXPECT_EQ(ui.caption, "DXF Editor - [part.dxf*]");
    session.setMaincap("DXF editor");
    EXPECT_EQ(ui.caption, "DXF editor - [part.dxf*]");
}

TEST_F(Session, FailedOpenKeepsTheDocumentAndReadsItAgain) {
    const std::string path = put("part.dxf", kLine);
    ASSERT_TRUE(session.openfilewithname(path));
    session.SetChanged();
    const std::string missing = (dir_ / "missing.dxf").string();
    EXPECT_FALSE(session.openfilewithname(missing));
    EXPECT_EQ(ui.errors,
              std::vector<std::string>{"Konnte folgende Datei nicht öffnen: " + missing +
                                       "\nDie Datei gibt es nicht."});
    EXPECT_EQ(reads, 2);
    EXPECT_EQ(session.drawing().afilename, path);
    EXPECT_EQ(session.drawing().anzpoly, 1);
    EXPECT_TRUE(session.drawing().changed);
}

TEST_F(Session, MissingTemplateShowsThePreviousLinesAsANewDrawing) {
    ASSERT_TRUE(session.openfilewithname(put("part.dxf", kLine)));
    session.setTemplateFolder((dir_ / "nowhere").string());
    session.startNewDrawing(kTemplateLatest);
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_NE(ui.errors[0].find("template1.dat"), std::string::npos);
    EXPECT_EQ(session.drawing().anzpoly, 1);
    EXPECT_EQ(ui.caption, "DXF Editor - [unbenannt.dxf]");
}

TEST_F(Session, FailedSaveAsKeepsTheOldNameAndMarksChanged) {
    const std::string path = put("part.dxf", kLine);
    ASSERT_TRUE(session.openfilewithname(path));
    ui.saveName = (dir_ / "no" / "such" / "folder.dxf").string();
    EXPECT_FALSE(session.saveUnderNewName());
    EXPECT_EQ(session.drawing().afilename, path);
    EXPECT_TRUE(session.drawing().changed);
    EXPECT_EQ(ui.caption, "DXF Editor - [part.dxf*]");
    EXPECT_EQ(ui.messages, std::vector<std::string>{
                               "Die folgende Datei konnte nicht zum Schreiben geöffnet werden: " +
                               *ui.saveName});
    EXPECT_EQ(bytesOf(path), kLine);
}

TEST_F(Session, FailedPlainSaveLeavesNameFlagAndTitle) {
    const std::string path = put("part.dxf", kLine);
    ASSERT_TRUE(session.openfilewithname(path));
    fs::remove(path);
    fs::remove(dir_);
    EXPECT_FALSE(session.SaveFile());
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_FALSE(session.drawing().changed);
    EXPECT_EQ(ui.caption, "DXF Editor - [part.dxf]");
    fs::create_directories(dir_);
}

TEST_F(Session, AskToSaveChanges) {
    struct Case {
        const char *name;
        bool changed, named, saveDialogCancelled;
        std::deque<SaveAnswer> answers;
        bool goOn;
        int questions;
    };
    const Case cases[] = {
        {"unchanged: no question", false, true, false, {}, true, 0},
        {"Yes saves under the name", true, true, false, {SaveAnswer::Yes}, true, 1},
        {"Yes on an unnamed drawing asks for a name",
         true,
         false,
         false,
         {SaveAnswer::Yes},
         true,
         1},
        {"Yes and the save dialog cancelled stops", true, false, true, {SaveAnswer::Yes}, false, 1},
        {"No goes on without saving", true, true, false, {SaveAnswer::No}, true, 1},
        {"Cancel stops", true, true, false, {SaveAnswer::Cancel}, false, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = put("part.dxf", kLine);
        if (c.named)
            ASSERT_TRUE(session.openfilewithname(path));
        else
            session.startNewDrawing(kTemplateLatest);
        if (c.changed) session.SetChanged();
        ui.answers = c.answers;
        ui.questions = 0;
        ui.saveName =
            c.saveDialogCancelled ? std::nullopt : std::optional((dir_ / "saved.dxf").string());
        EXPECT_EQ(session.FormCloseQuery(), c.goOn);
        EXPECT_EQ(ui.questions, c.questions);
        const bool saved = c.answers.size() == 1 && c.answers[0] == SaveAnswer::Yes && c.goOn;
        EXPECT_EQ(session.drawing().changed, c.changed && !saved);
        fs::remove(dir_ / "saved.dxf");
    }
}

TEST_F(Session, CancelBeforeANewDrawingLeavesEverything) {
    const std::string path = put("part.dxf", kLine);
    ASSERT_TRUE(session.openfilewithname(path));
    session.SetChanged();
    const std::string before = dxfFileBytes(session.drawing());
    ui.answers = {SaveAnswer::Cancel};
    session.startNewDrawing(kTemplateR12);
    ui.answers = {SaveAnswer::Cancel};
    ui.openName = path;
    session.openWithQuestion();
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(dxfFileBytes(session.drawing()), before);
    EXPECT_EQ(session.drawing().afilename, path);
    EXPECT_TRUE(session.drawing().changed);
    EXPECT_EQ(ui.caption, "DXF Editor - [part.dxf*]");
}

TEST_F(Session, CancelledOpenDialogOpensNothing) {
    session.startNewDrawing(kTemplateLatest);
    const int before = reads;
    ui.openName.reset();
    session.openWithQuestion();
    EXPECT_EQ(reads, before);
    ui.openName = put("part.dxf", kLine);
    session.openWithQuestion();
    EXPECT_EQ(session.drawing().afilename, *ui.openName);
}

} // namespace
} // namespace quentar::document
