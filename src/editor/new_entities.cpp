// Placement, handles and the planned insertion of new entities.
#include "editor/new_entities.h"

#include "editor/dxf_numbers.h"
#include "render/view.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace quentar::editor {

namespace {

bool parseHandle(std::string_view s, uint64_t &out) {
    s = document::trimLine(s);
    while (s.size() > 16 && s[0] == '0') s.remove_prefix(1);
    if (s.empty() || s.size() > 16) return false;
    uint64_t v = 0;
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v, 16);
    if (ec != std::errc() || p != s.data() + s.size()) return false;
    out = v;
    return true;
}

} // namespace

std::string layerOfNewEntities(const document::Drawing &d, const CreationSettings &s) {
    if (!s.layer.empty()) return s.layer;
    if (!d.layerNames.empty()) return d.layerNames.front();
    return "0";
}

Placement AddToLayout(const document::Drawing &d, int tab) {
    Placement p;
    p.at = d.insertlinepos;
    const render::TabView tv = render::tabView(d, tab);
    if (tv.handle != render::kNoLayout) {
        // A layout whose entities live in its own block definition gets them before its
        // ENDBLK; the model and the active paper space keep theirs in the ENTITIES section. A
        // block without an end has no place for them.
        if (!tv.block.empty()) {
            for (const document::tblock &b : d.blocks) {
                if (b.hand != tv.handle || b.blockname != tv.block) continue;
                if (b.linetoinsert > 0) p.at = b.linetoinsert;
                break;
            }
        }
        // A layout without a block record has no owner to name ("330" "0" would point nowhere).
        p.owner = static_cast<uint32_t>(tv.handle);
    }
    p.paperSpace = !tv.model;
    return p;
}

uint64_t largestHandleInUse(const document::Drawing &d) {
    uint64_t largest = d.maxhandle > 0 ? static_cast<uint64_t>(d.maxhandle) : 0;
    const std::size_t n = d.dxf.size();
    for (std::size_t i = 0; i + 1 < n; i += 2) {
        // Most code lines do not end in 5: a look at the last character spares the trimming.
        const std::string_view raw = d.dxf[i];
        if (raw.empty() || (raw.back() != '5' && static_cast<unsigned char>(raw.back()) > 32))
            continue;
        const std::string_view code = document::trimLine(raw);
        if (code != "5" && code != "105") continue;
        uint64_t h = 0;
        if (!parseHandle(d.dxf[i + 1], h)) continue;
        if (static_cast<int64_t>(i + 1) == d.handleseedpos) {
            if (h > 0) h -= 1; // the seed is the next handle to give, not one in use
        }
        largest = std::max(largest, h);
    }
    return largest;
}

document::EditBatch InsertCode(PlanPosition &pos, std::vector<std::string> str) {
    document::EditBatch batch;
    const auto count = static_cast<int32_t>(str.size());
    // The seed first, at its line as it stands: an insertion before it would move it.
    if (pos.seedLine >= 0 && pos.lastHandle != std::numeric_limits<uint64_t>::max()) {
        std::string seed = handleText(pos.lastHandle + 1);
        if (pos.seedText != seed) {
            batch.edits.push_back({static_cast<int32_t>(pos.seedLine), {pos.seedText}, {seed}});
            pos.seedText = std::move(seed);
        }
    }
    batch.edits.push_back({pos.at, {}, std::move(str)});
    if (pos.seedLine >= pos.at) pos.seedLine += count;
    pos.at += count;
    return batch;
}

void EntityText::pair(std::string_view code, std::string value) {
    // A line break inside a value would split it into lines of their own and break the groups
    // of everything after it.
    for (char &c : value)
        if (c == '\r' || c == '\n') c = ' ';
    lines_.emplace_back(code);
    lines_.push_back(std::move(value));
}

void EntityText::real(std::string_view code, double value) {
    if (!std::isfinite(value)) finite_ = false;
    pair(code, FloatToDXFStr(value));
}

void EntityText::integer(std::string_view code, int64_t value) { pair(code, integerText(value)); }

void EntityText::point(int x0, const Point3 &p) {
    // The codes as the editor has always spelled them: two blanks before the number.
    const std::string cx = "  " + std::to_string(x0), cy = "  " + std::to_string(x0 + 10),
                      cz = "  " + std::to_string(x0 + 20);
    real(cx, p.x);
    real(cy, p.y);
    real(cz, p.z);
}

NewEntities::NewEntities(const document::Drawing &d, const CreationSettings &s,
                         const PlanPosition *after)
    : d_(d), layer_(layerOfNewEntities(d, s)), settings_(s), placement_(AddToLayout(d, s.tab)) {
    if (after) {
        pos_ = *after;
    } else {
        pos_.at = placement_.at;
        pos_.lastHandle = largestHandleInUse(d);
        if (d.handleseedpos >= 0 && static_cast<std::size_t>(d.handleseedpos) < d.dxf.size()) {
            pos_.seedLine = d.handleseedpos;
            pos_.seedText = std::string(d.dxf[static_cast<std::size_t>(d.handleseedpos)]);
        }
    }
    if (pos_.at > static_cast<int32_t>(d.dxf.size())) pos_.at = static_cast<int32_t>(d.dxf.size());
    lastHandle_ = pos_.lastHandle;
}

std::string NewEntities::nextHandle() {
    // Handles are 64-bit: only a drawing that has used up that range has none left.
    if (lastHandle_ == std::numeric_limits<uint64_t>::max()) {
        handlesLeft_ = false;
        return handleText(lastHandle_);
    }
    return handleText(++lastHandle_);
}

void NewEntities::head(EntityText &e, std::string_view type, std::string_view subclass,
                       const std::vector<std::pair<std::string, std::string>> &afterType) {
    e.pair("  0", std::string(type));
    // Newer versions: the handle and the owner belong before the first subclass marker; a reader
    // that keeps to the subclasses (ezdxf) does not find a handle written after it and gives the
    // entity a new one.
    if (newer()) e.pair("  5", nextHandle());
    for (const auto &[code, value] : afterType) e.pair(code, value);
    if (placement_.owner) e.pair("330", handleText(placement_.owner));
    if (newer()) e.pair("100", "AcDbEntity");
    if (placement_.paperSpace) e.pair(" 67", "1");
    e.pair("  8", layer_);
    if (!settings_.lineType.empty()) e.pair("  6", settings_.lineType);
    if (settings_.colorNumber) e.integer(" 62", *settings_.colorNumber);
    if (settings_.lineWeight && newer()) e.integer("370", *settings_.lineWeight);
    if (newer() && !subclass.empty()) e.pair("100", std::string(subclass));
}

void NewEntities::r12Handle(EntityText &e) {
    if (!newer()) e.pair("  5", nextHandle());
}

std::optional<document::EditBatch> NewEntities::insert(EntityText &&e) {
    if (!possible() || !e.writable() || !handlesLeft_) {
        lastHandle_ = pos_.lastHandle;
        return std::nullopt;
    }
    pos_.lastHandle = lastHandle_;
    return InsertCode(pos_, e.take());
}

} // namespace quentar::editor
