// The editor without a window: a host that records what the window would be asked to do, and a
// drawing opened from groups.
#pragma once

#include "../dxf/dxf_builder.h"
#include "editor/drawing_editor.h"
#include "editor/drawing_viewer.h"
#include "editor/interaction.h"
#include "editor/view_tools.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>

#include <unistd.h>

namespace quentar::render {
inline void PrintTo(const Pixel &p, std::ostream *os) { *os << "(" << p.x << ", " << p.y << ")"; }
} // namespace quentar::render

namespace quentar::testing {

class HeadlessWindow : public editor::ViewerHost,
                       public editor::EditorHost,
                       public editor::ToolHost {
public:
    int repaints = 0, overlayRepaints = 0;
    bool canUndo = false, canRedo = false;
    std::vector<std::string> errors;
    // What the tools asked, and what the dialogs answer.
    std::vector<int> messages;
    std::vector<editor::PolylineMenuItem> menuAnswers; // taken from the front
    std::vector<std::string> menuPositions;
    bool dialogsAccept = true;
    std::string textAnswer = "Text";
    double heightAnswer = 0.2, angleAnswer = 0, cornersAnswer = 6;
    std::string changedTextAnswer;
    int textDialogs = 0;
    editor::ArrayParameters arrayAnswer{3, 2, 10, 20, 0};
    double rotationAnswer = 90, scalingAnswer = 200;
    std::optional<editor::ViewportConfiguration> viewportAnswer; // none: as it was
    int transformDialogs = 0;

    void showTitle(const std::string &) override {}
    void showError(const std::string &text) override { errors.push_back(text); }
    void showMessage(const std::string &text) override { errors.push_back(text); }
    document::SaveAnswer askToSave(const std::string &, const std::string &) override {
        return document::SaveAnswer::No;
    }
    std::optional<std::string> chooseFileToOpen() override { return std::nullopt; }
    std::optional<std::string> chooseFileToSave() override { return std::nullopt; }
    void repaintDrawing() override { ++repaints; }
    void repaintOverlay() override { ++overlayRepaints; }
    void showTabs(const std::vector<std::string> &, int) override {}
    void showScrollPositions(int64_t, int64_t) override {}
    void showUndoState(bool undo, bool redo) override {
        canUndo = undo;
        canRedo = redo;
    }

    bool askText(editor::TextInput &text, bool dimension) override {
        ++textDialogs;
        if (!dimension) text.text = textAnswer;
        text.height = dimension ? 0.5 : heightAnswer;
        text.angle = angleAnswer;
        return dialogsAccept;
    }
    bool askChangedText(std::string &text) override {
        text = changedTextAnswer;
        return dialogsAccept;
    }
    bool askPolygonCorners(double &corners) override {
        corners = cornersAnswer;
        return dialogsAccept;
    }
    editor::PolylineMenuItem choosePolylineItem(int x, int y) override {
        menuPositions.push_back(std::to_string(x) + "," + std::to_string(y));
        if (menuAnswers.empty()) return editor::PolylineMenuItem::None;
        const editor::PolylineMenuItem item = menuAnswers.front();
        menuAnswers.erase(menuAnswers.begin());
        return item;
    }
    void showMessageNumber(int number) override { messages.push_back(number); }
    std::optional<editor::ArrayParameters> askArray() override {
        ++transformDialogs;
        if (!dialogsAccept) return std::nullopt;
        return arrayAnswer;
    }
    std::optional<editor::KeyboardRotation> askRotation() override {
        ++transformDialogs;
        if (!dialogsAccept) return std::nullopt;
        return editor::KeyboardRotation{rotationAnswer};
    }
    std::optional<editor::KeyboardScaling> askScaling() override {
        ++transformDialogs;
        if (!dialogsAccept) return std::nullopt;
        return editor::KeyboardScaling{scalingAnswer};
    }
    editor::ViewportConfiguration askViewport(const editor::ViewportConfiguration &start) override {
        ++transformDialogs;
        return viewportAnswer ? *viewportAnswer : start;
    }
    // 25 by 50 pixels a character at 50 pixels.
    void textExtent(const std::string &text, int pixels, int &width, int &height) override {
        width = static_cast<int>(text.size()) * pixels / 2;
        height = pixels;
    }
};

// The drawing window's core objects, as the window wires them.
class EditorTest : public ::testing::Test {
protected:
    HeadlessWindow window;
    editor::DrawingViewer viewer{window};
    editor::DrawingEditor editor{viewer, window};
    editor::ViewTools viewTools{viewer};
    editor::Interaction input{editor, viewTools, window};

    // Opens the text as a drawing file; then one drawing unit is one pixel, the drawing origin
    // at the bottom left pixel (0, 639) of the 1000 x 640 paint box.
    void open(const std::string &text) {
        const auto path = std::filesystem::temp_directory_path() /
                          ("quentar_editor_test_" + std::to_string(::getpid()) + ".dxf");
        {
            std::ofstream out(path, std::ios::binary);
            out << text;
        }
        ASSERT_TRUE(viewer.session().openfilewithname(path.string()));
        std::filesystem::remove(path);
        unitView();
    }
    void open(const Groups &groups) { open(dxfText(groups)); }
    void openFile(const std::string &path) {
        ASSERT_TRUE(viewer.session().openfilewithname(path));
        unitView();
    }
    void unitView() { viewer.setView({100, 0, 0, false}); }

    // The pixel of a drawing point in the current view.
    render::Pixel px(double x, double y) const { return viewer.transform().pixel(x, y); }

    std::vector<std::size_t> selected() { return editor.selection().indices(); }
    std::string lines() const { return viewer.drawing().dxf.serialize(); }
};

} // namespace quentar::testing
