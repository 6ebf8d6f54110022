// The planned line changes of the transformations, the groups of an entity's lines, and which
// records belong together (an INSERT and its attributes).
#include "editor/transformations_entities.h"

#include "dxf/values.h"

#include <algorithm>

namespace quentar::editor {

using document::EntityKind;

void PlannedLines::replace(int32_t line, std::string text) {
    changes_.push_back({line, false, {std::move(text)}});
}

void PlannedLines::insertBefore(int32_t line, std::vector<std::string> lines) {
    if (!lines.empty()) changes_.push_back({line, true, std::move(lines)});
}

std::vector<PlannedLines::Change> PlannedLines::ordered() const {
    std::vector<Change> out = changes_;
    // Highest line first; at one line the replacement first, so that the insertion in front of
    // it does not move it.
    std::stable_sort(out.begin(), out.end(), [](const Change &a, const Change &b) {
        if (a.at != b.at) return a.at > b.at;
        return !a.insertion && b.insertion;
    });
    std::vector<Change> joined;
    for (Change &c : out) {
        if (c.insertion && !joined.empty() && joined.back().insertion && joined.back().at == c.at) {
            auto &t = joined.back().text;
            t.insert(t.end(), c.text.begin(), c.text.end());
        } else {
            joined.push_back(std::move(c));
        }
    }
    return joined;
}

void PlannedLines::appendTo(const document::LineStore &lines, document::EditBatch &batch) const {
    const auto size = static_cast<int32_t>(lines.size());
    for (Change &c : ordered()) {
        if (c.at < 0 || c.at > size || (!c.insertion && c.at == size)) continue;
        document::LineEdit &e = batch.edits.emplace_back();
        e.at = c.at;
        if (!c.insertion) e.removed.emplace_back(lines[static_cast<std::size_t>(c.at)]);
        e.inserted = std::move(c.text);
    }
}

void PlannedLines::applyTo(std::vector<std::string> &copy, int32_t from) const {
    const auto end = static_cast<int64_t>(from) + static_cast<int64_t>(copy.size());
    for (Change &c : ordered()) {
        if (c.at < from || c.at > end || (!c.insertion && c.at == end)) continue;
        const auto at = static_cast<std::size_t>(c.at - from);
        if (c.insertion)
            copy.insert(copy.begin() + static_cast<std::ptrdiff_t>(at), c.text.begin(),
                        c.text.end());
        else
            copy[at] = std::move(c.text.front());
    }
}

std::vector<Group> groupsOf(const document::LineStore &lines, int32_t from, int32_t to) {
    std::vector<Group> out;
    const auto n = static_cast<int32_t>(lines.size());
    to = std::min(to, n - 1);
    if (from < 0) return out;
    out.reserve(static_cast<std::size_t>(std::max(0, (to - from + 1) / 2)));
    for (int32_t i = from; i + 1 <= to; i += 2) {
        Group g;
        g.code = dxf::parseGroupCode(document::trimLine(lines[static_cast<std::size_t>(i)]));
        g.line = i + 1;
        g.value = document::trimLine(lines[static_cast<std::size_t>(i + 1)]);
        out.push_back(g);
    }
    return out;
}

std::string_view keywordOf(const document::Drawing &d, std::size_t index) {
    const document::tpoly &e = d.polys[index];
    if (e.linefrom < 0 || static_cast<std::size_t>(e.linefrom) + 1 >= d.dxf.size()) return {};
    return document::trimLine(d.dxf[static_cast<std::size_t>(e.linefrom) + 1]);
}

bool isAttribute(const document::Drawing &d, std::size_t index) {
    return d.polys[index].kind == EntityKind::Text && keywordOf(d, index) == "ATTRIB";
}

std::size_t attributesEnd(const document::Drawing &d, std::size_t index) {
    const auto n = static_cast<std::size_t>(d.anzpoly);
    std::size_t j = index + 1;
    if (d.polys[index].kind != EntityKind::Insert) return j;
    // The attributes follow their INSERT line for line.
    while (j < n && isAttribute(d, j) && d.polys[j].linefrom == d.polys[j - 1].linebis + 1) ++j;
    return j;
}

} // namespace quentar::editor
