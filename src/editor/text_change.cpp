// Finding the text a double click edits and planning the change of its lines.
#include "editor/text_change.h"

#include "document/line_store.h"
#include "editor/drawing_editor.h"
#include "editor/entity_creation.h"

#include <algorithm>
#include <cstdlib>

namespace quentar::editor {

namespace {

constexpr int kTextGripTolerance = 5; // pixels around a text's insertion point

bool editableKind(const document::tpoly &e) {
    return e.kind == document::EntityKind::Text || e.kind == document::EntityKind::MText ||
           e.kind == document::EntityKind::Dimension;
}

std::string replaceAll(std::string s, std::string_view from, std::string_view to) {
    for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
    return s;
}

} // namespace

std::optional<std::size_t> textAt(DrawingEditor &editor, int x, int y) {
    const document::Drawing &d = editor.viewer().drawing();
    const render::ViewTransform vt = editor.viewer().transform();
    for (std::size_t i : editor.selectedOnTab()) {
        const document::tpoly &e = d.polys[i];
        if (!editableKind(e) || e.detail().textstr.empty() || e.anzp < 1 || !e.geom) continue;
        const document::Tmypoi &v = e.p(0);
        if (v.linex <= 0) continue;
        const render::Pixel p = vt.pixel(v.x, v.y);
        if (std::abs(static_cast<int64_t>(p.x) - x) <= kTextGripTolerance &&
            std::abs(static_cast<int64_t>(p.y) - y) <= kTextGripTolerance)
            return i;
    }
    return std::nullopt;
}

bool textOf(const document::Drawing &d, std::size_t index, std::string &text) {
    if (index >= d.polys.size()) return false;
    const document::tpoly &e = d.polys[index];
    if (!editableKind(e) || e.detail().textstr.empty()) return false;
    text = e.kind == document::EntityKind::Text ? e.detail().textstr
                                                : replaceAll(e.detail().textstr, "\\P", "\n");
    return true;
}

std::optional<document::EditBatch> ChangeText(const document::Drawing &d, std::size_t index,
                                              const std::string &text) {
    if (index >= d.polys.size()) return std::nullopt;
    const document::tpoly &e = d.polys[index];
    if (!editableKind(e)) return std::nullopt;
    const auto lines = static_cast<int32_t>(d.dxf.size());
    if (e.linefrom < 0 || e.linebis >= lines || e.linebis <= e.linefrom) return std::nullopt;

    // The text groups of the entity: its pieces (3, MTEXT only) and its group 1.
    const bool mtext = e.kind == document::EntityKind::MText;
    std::vector<int32_t> pieces;
    int32_t group1 = -1;
    for (int32_t at = e.linefrom + 2; at + 1 <= e.linebis; at += 2) {
        const std::string_view code = document::trimLine(d.dxf[static_cast<std::size_t>(at)]);
        if (code == "1" && group1 < 0)
            group1 = at;
        else if (code == "3" && mtext)
            pieces.push_back(at);
    }
    if (group1 < 0) return std::nullopt;

    std::vector<std::string> newPieces;
    if (e.kind == document::EntityKind::Text)
        newPieces = {std::string(textLines(text).front())};
    else if (mtext)
        newPieces = mtextPieces(withParagraphCodes(text));
    else
        newPieces = {withParagraphCodes(text)};

    // Unchanged: no step.
    std::vector<std::string> oldPieces;
    for (int32_t at : pieces) oldPieces.emplace_back(d.dxf[static_cast<std::size_t>(at + 1)]);
    oldPieces.emplace_back(d.dxf[static_cast<std::size_t>(group1 + 1)]);
    if (oldPieces == newPieces) return std::nullopt;

    // The new pieces take the place of group 1 (its code line kept as the file spells it); the
    // old pieces go. From the highest line down, so that each edit finds its lines where the
    // read left them.
    struct Edit {
        int32_t at;
        std::vector<std::string> removed, inserted;
    };
    std::vector<Edit> edits;
    Edit one{group1,
             {std::string(d.dxf[static_cast<std::size_t>(group1)]),
              std::string(d.dxf[static_cast<std::size_t>(group1 + 1)])},
             {}};
    for (std::size_t k = 0; k + 1 < newPieces.size(); ++k) {
        one.inserted.emplace_back("  3");
        one.inserted.push_back(newPieces[k]);
    }
    one.inserted.push_back(one.removed[0]);
    one.inserted.push_back(newPieces.back());
    edits.push_back(std::move(one));
    for (int32_t at : pieces)
        edits.push_back({at,
                         {std::string(d.dxf[static_cast<std::size_t>(at)]),
                          std::string(d.dxf[static_cast<std::size_t>(at + 1)])},
                         {}});
    std::sort(edits.begin(), edits.end(), [](const Edit &a, const Edit &b) { return a.at > b.at; });
    document::EditBatch step;
    for (Edit &x : edits) step.edits.push_back({x.at, std::move(x.removed), std::move(x.inserted)});
    return step;
}

} // namespace quentar::editor
