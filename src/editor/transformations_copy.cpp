// CopyObjects and MakeArray: shifted copies of entities with handles of their own, inserted at the
// end of the part of the drawing their originals lie in.
#include "editor/transformations.h"

#include "dxf/values.h"
#include "editor/dxf_numbers.h"
#include "editor/new_entities.h"
#include "editor/transformations_entities.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <string>
#include <unordered_map>

namespace quentar::editor {

using document::EntityKind;

namespace {

// Code line and value line of one group of a copy.
struct Pair {
    std::string code, value;
    int number() const { return dxf::parseGroupCode(document::trimLine(code)); }
};
using Pairs = std::vector<Pair>;

Pairs pairsOf(std::vector<std::string> &&lines) {
    Pairs out;
    out.reserve(lines.size() / 2);
    for (std::size_t i = 0; i + 1 < lines.size(); i += 2)
        out.push_back({std::move(lines[i]), std::move(lines[i + 1])});
    return out;
}

void appendLines(Pairs &&pairs, std::vector<std::string> &out) {
    for (Pair &p : pairs) {
        out.push_back(std::move(p.code));
        out.push_back(std::move(p.value));
    }
}

std::vector<std::string> linesBetween(const document::LineStore &lines, int32_t from, int32_t to) {
    std::vector<std::string> out;
    for (int32_t i = from; i <= to; ++i) out.emplace_back(lines[static_cast<std::size_t>(i)]);
    return out;
}

bool parseHandle(std::string_view s, uint64_t &out) {
    s = document::trimLine(s);
    while (s.size() > 16 && s[0] == '0') s.remove_prefix(1);
    if (s.empty() || s.size() > 16) return false;
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out, 16);
    return ec == std::errc() && p == s.data() + s.size();
}

// Application groups ("102" "{ACAD_REACTORS" ... "102" "}") tie an entity to objects that know
// only the original: its reactors, its extension dictionary. A copy starts without them.
void dropApplicationGroups(Pairs &pairs) {
    Pairs kept;
    kept.reserve(pairs.size());
    bool inside = false;
    for (Pair &p : pairs) {
        if (p.number() == 102) {
            const std::string_view v = document::trimLine(p.value);
            if (!v.empty() && v[0] == '{')
                inside = true;
            else if (v == "}")
                inside = false;
            continue;
        }
        if (!inside) kept.push_back(std::move(p));
    }
    pairs = std::move(kept);
}

// The line after the record that starts at code line `from` (the next "0" group), or the end.
int32_t recordEnd(const document::LineStore &lines, int32_t from) {
    const auto n = static_cast<int32_t>(lines.size());
    int32_t i = from + 2;
    while (i + 1 < n &&
           dxf::parseGroupCode(document::trimLine(lines[static_cast<std::size_t>(i)])) != 0)
        i += 2;
    return std::min(i, n);
}

bool isGroup(const document::LineStore &lines, int32_t at, int code, std::string_view value) {
    if (at < 0 || static_cast<std::size_t>(at) + 1 >= lines.size()) return false;
    return dxf::parseGroupCode(document::trimLine(lines[static_cast<std::size_t>(at)])) == code &&
           document::trimLine(lines[static_cast<std::size_t>(at) + 1]) == value;
}

// Where a block definition's lines lie: BLOCK ... ENDBLK, and its entry in the BLOCK_RECORD
// table (-1 when the version has none).
struct BlockLines {
    int32_t from = -1, to = -1;
    int32_t recordFrom = -1, recordTo = -1;
    std::vector<std::size_t> members; // its entities' records
};

class CopyPlanner {
public:
    explicit CopyPlanner(const document::Drawing &d)
        : d_(d), last_(largestHandleInUse(d)), viewportId_(d.maxviewportid) {
        if (d.handleseedpos >= 0 && static_cast<std::size_t>(d.handleseedpos) < d.dxf.size())
            seed_ = d.dxf[static_cast<std::size_t>(d.handleseedpos)];
        for (const document::tblock &b : d.blocks) {
            const std::string_view name = document::trimLine(b.blockname);
            int n = 0;
            if (name.size() > 2 && (name[0] == '*') && (name[1] == 'D' || name[1] == 'd')) {
                const auto r = std::from_chars(name.data() + 2, name.data() + name.size(), n);
                if (r.ec == std::errc() && r.ptr == name.data() + name.size())
                    pictureNumber_ = std::max(pictureNumber_, n);
            }
        }
    }

    // The entities a copy of `set` takes, in file order.
    std::vector<std::size_t> copied(const EntitySet &set) const {
        const auto n = static_cast<std::size_t>(std::max(0, d_.anzpoly));
        std::vector<std::size_t> out;
        for (std::size_t i : set) {
            if (i >= n) continue;
            const document::tpoly &e = d_.polys[i];
            // An attribute belongs to its INSERT; the paper's own viewport exists once.
            if (isAttribute(d_, i)) continue;
            if (e.isviewport && e.hasDetail() && e.detail().viewid == 1) continue;
            out.push_back(i);
        }
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
        return out;
    }

    // One copy of `entities` shifted by (dx, dy), planned on the lines as the steps before left
    // them; nullopt with `outcome` set when there is nothing to copy or no handle left.
    std::optional<document::EditBatch> step(const std::vector<std::size_t> &entities, double dx,
                                            double dy, CopyOutcome &outcome) {
        const PlaneMap shift = PlaneMap::moving(dx, dy);
        std::map<int32_t, std::vector<std::string>> insertions; // original line -> lines
        const uint64_t lastBefore = last_;
        const int32_t viewportBefore = viewportId_;
        const int pictureBefore = pictureNumber_;
        for (std::size_t i : entities) {
            if (!copyEntity(i, shift, insertions)) {
                last_ = lastBefore;
                viewportId_ = viewportBefore;
                pictureNumber_ = pictureBefore;
                outcome = CopyOutcome::NoHandlesLeft;
                return std::nullopt;
            }
        }
        if (insertions.empty()) {
            outcome = CopyOutcome::NothingToCopy;
            return std::nullopt;
        }
        document::EditBatch batch;
        std::vector<std::pair<int32_t, std::size_t>> inserted;
        // From the highest line down: no change moves the lines of the ones after it.
        for (auto it = insertions.rbegin(); it != insertions.rend(); ++it) {
            inserted.emplace_back(it->first, it->second.size());
            document::LineEdit &e = batch.edits.emplace_back();
            e.at = current(it->first);
            e.inserted = std::move(it->second);
        }
        if (last_ != lastBefore && d_.handleseedpos >= 0 &&
            static_cast<std::size_t>(d_.handleseedpos) < d_.dxf.size()) {
            std::string seed = handleText(last_ + 1);
            if (seed != seed_) {
                document::LineEdit &e = batch.edits.emplace_back();
                e.at = current(d_.handleseedpos);
                e.removed.push_back(seed_);
                e.inserted.push_back(seed);
                seed_ = std::move(seed);
            }
        }
        shifts_.insert(shifts_.end(), inserted.begin(), inserted.end());
        outcome = CopyOutcome::Copied;
        return batch;
    }

private:
    // A line of the drawing as read, where the steps planned so far have moved it: lines
    // inserted at or before it push it down.
    int32_t current(int32_t original) const {
        int64_t at = original;
        for (const auto &[pos, count] : shifts_)
            if (pos <= original) at += static_cast<int64_t>(count);
        return static_cast<int32_t>(at);
    }

    bool newHandle(uint64_t &h) {
        // The seed after the last handle must be a handle too.
        if (last_ >= UINT64_MAX - 1) return false;
        h = ++last_;
        return true;
    }

    // Fresh handles for every group 5 of `pairs`, recorded in `renamed`.
    bool renameHandles(Pairs &pairs, std::unordered_map<uint64_t, uint64_t> &renamed) {
        for (Pair &p : pairs) {
            uint64_t old, fresh;
            if (p.number() != 5 || !parseHandle(p.value, old)) continue;
            if (!newHandle(fresh)) return false;
            renamed[old] = fresh;
            p.value = handleText(fresh);
        }
        return true;
    }
    static void renameOwners(Pairs &pairs, const std::unordered_map<uint64_t, uint64_t> &renamed) {
        for (Pair &p : pairs) {
            uint64_t old;
            if (p.number() != 330 || !parseHandle(p.value, old)) continue;
            if (const auto it = renamed.find(old); it != renamed.end())
                p.value = handleText(it->second);
        }
    }

    // The lines of entity i and what belongs to them: an INSERT's attributes and their SEQEND.
    std::pair<int32_t, int32_t> chainOf(std::size_t i, std::size_t &lastRecord) const {
        const document::tpoly &e = d_.polys[i];
        lastRecord = attributesEnd(d_, i) - 1;
        int32_t to = d_.polys[lastRecord].linebis;
        if (e.kind == EntityKind::Insert && isGroup(d_.dxf, to + 1, 0, "SEQEND"))
            to = recordEnd(d_.dxf, to + 1) - 1;
        return {e.linefrom, to};
    }

    int32_t containerOf(const document::tpoly &e, int32_t chainEnd) const {
        if (e.isblock) {
            for (const document::tblock &b : d_.blocks)
                if (b.blockname == e.detail().theblockname && b.linetoinsert > 0)
                    return b.linetoinsert;
        } else if (d_.insertlinepos >= 0) {
            return d_.insertlinepos;
        }
        return chainEnd + 1;
    }

    bool copyEntity(std::size_t i, const PlaneMap &shift,
                    std::map<int32_t, std::vector<std::string>> &insertions) {
        const document::tpoly &e = d_.polys[i];
        std::size_t lastRecord = i;
        const auto [from, to] = chainOf(i, lastRecord);
        if (from < 0 || to < from || static_cast<std::size_t>(to) >= d_.dxf.size()) return true;
        PlannedLines planned;
        for (std::size_t r = i; r <= lastRecord; ++r) transformEntity(d_, r, shift, planned);
        std::vector<std::string> lines = linesBetween(d_.dxf, from, to);
        planned.applyTo(lines, from);
        Pairs pairs = pairsOf(std::move(lines));
        dropApplicationGroups(pairs);
        std::unordered_map<uint64_t, uint64_t> renamed;
        if (!renameHandles(pairs, renamed)) return false;
        renameOwners(pairs, renamed);
        if (e.isviewport) {
            // A viewport is known by its number: the copy takes the next one.
            ++viewportId_;
            for (Pair &p : pairs) {
                const int c = p.number();
                int32_t status;
                if (c == 69 ||
                    (c == 68 && dxf::toInteger(document::trimLine(p.value), status) && status > 0))
                    p.value = integerText(viewportId_);
            }
        }
        if (e.kind == EntityKind::Dimension && !e.detail().dimblock.empty()) {
            std::string name;
            if (!copyPicture(e.detail().dimblock, shift, insertions, name)) return false;
            if (!name.empty())
                for (Pair &p : pairs)
                    if (p.number() == 2) {
                        p.value = name;
                        break;
                    }
        }
        appendLines(std::move(pairs), insertions[containerOf(e, to)]);
        return true;
    }

    const BlockLines *locate(const std::string &name) {
        if (const auto it = blocks_.find(name); it != blocks_.end()) return &it->second;
        BlockLines &b = blocks_[name];
        const document::LineStore &lines = d_.dxf;
        for (const document::tblock &t : d_.blocks) {
            if (t.blockname != name || t.linetoinsert <= 0) continue;
            // Back from its ENDBLK to its BLOCK, group by group.
            for (int32_t at = t.linetoinsert - 2; at >= 0; at -= 2)
                if (isGroup(lines, at, 0, "BLOCK")) {
                    b.from = at;
                    break;
                }
            if (b.from >= 0) b.to = recordEnd(lines, t.linetoinsert) - 1;
            break;
        }
        if (b.from < 0) return &b;
        // Its BLOCK_RECORD entry among the tables before it.
        for (int32_t at = 0; at + 1 < b.from;) {
            if (!isGroup(lines, at, 0, "BLOCK_RECORD")) {
                at += 2;
                continue;
            }
            const int32_t end = recordEnd(lines, at);
            for (int32_t g = at + 2; g + 1 < end; g += 2)
                if (isGroup(lines, g, 2, name)) {
                    b.recordFrom = at;
                    b.recordTo = end - 1;
                }
            if (b.recordFrom >= 0) break;
            at = end;
        }
        for (std::size_t i = 0; i < static_cast<std::size_t>(d_.anzpoly); ++i) {
            const document::tpoly &m = d_.polys[i];
            if (m.isblock && m.detail().theblockname == name) b.members.push_back(i);
        }
        return &b;
    }

    // A copy of the picture block `name` of a dimension under a new anonymous name ("*D" and
    // the next number), its entities shifted with the dimension; `copyName` stays empty when
    // the block cannot be found (the copy then shares the original's picture).
    bool copyPicture(const std::string &name, const PlaneMap &shift,
                     std::map<int32_t, std::vector<std::string>> &insertions,
                     std::string &copyName) {
        const BlockLines *b = locate(name);
        if (!b || b->from < 0 || (d_.cadver > 1009 && b->recordFrom < 0)) return true;
        copyName = "*D" + integerText(++pictureNumber_);
        std::unordered_map<uint64_t, uint64_t> renamed;
        Pairs record;
        if (b->recordFrom >= 0) {
            record = pairsOf(linesBetween(d_.dxf, b->recordFrom, b->recordTo));
            dropApplicationGroups(record);
            if (!renameHandles(record, renamed)) return false;
            for (Pair &p : record)
                if (p.number() == 2) p.value = copyName;
        }
        PlannedLines planned;
        for (std::size_t m : b->members) transformEntity(d_, m, shift, planned);
        std::vector<std::string> lines = linesBetween(d_.dxf, b->from, b->to);
        planned.applyTo(lines, b->from);
        Pairs block = pairsOf(std::move(lines));
        dropApplicationGroups(block);
        if (!renameHandles(block, renamed)) return false;
        renameOwners(block, renamed);
        // The BLOCK's own name groups, before its first entity.
        for (std::size_t k = 1; k < block.size() && block[k].number() != 0; ++k)
            if (block[k].number() == 2 || block[k].number() == 3) block[k].value = copyName;
        if (!record.empty()) appendLines(std::move(record), insertions[b->recordTo + 1]);
        appendLines(std::move(block), insertions[b->to + 1]);
        return true;
    }

    const document::Drawing &d_;
    uint64_t last_;      // the largest handle in use or given
    int32_t viewportId_; // the largest viewport number in use or given
    int pictureNumber_ = 0;
    std::string seed_; // the seed's value line as the planned steps leave it
    std::vector<std::pair<int32_t, std::size_t>> shifts_; // original line, lines inserted there
    std::map<std::string, BlockLines, std::less<>> blocks_;
};

} // namespace

CopyPlan CopyObjects(const document::Drawing &d, const EntitySet &set, double dx, double dy) {
    CopyPlan plan;
    if (!std::isfinite(dx) || !std::isfinite(dy)) return plan;
    CopyPlanner planner(d);
    if (auto step = planner.step(planner.copied(set), dx, dy, plan.outcome))
        plan.steps.push_back(std::move(*step));
    return plan;
}

std::vector<std::pair<double, double>> arrayOffsets(const ArrayParameters &p) {
    std::vector<std::pair<double, double>> out;
    const double cols = std::trunc(p.columns), rows = std::trunc(p.rows);
    if (!(cols >= 1) || !(rows >= 1) || cols * rows - 1 > static_cast<double>(kMaxArrayCopies))
        return out;
    const double t = p.angle * M_PI / 180;
    const double c = std::cos(t), s = std::sin(t);
    for (int i = 0; i < static_cast<int>(cols); ++i)
        for (int j = 0; j < static_cast<int>(rows); ++j) {
            if (i == 0 && j == 0) continue;
            const double a = p.columnSpacing * i, b = p.rowSpacing * j;
            out.emplace_back(a * c - b * s, a * s + b * c);
        }
    return out;
}

CopyPlan MakeArray(const document::Drawing &d, const EntitySet &set, const ArrayParameters &p) {
    CopyPlan plan;
    const double cells = std::trunc(p.columns) * std::trunc(p.rows);
    if (cells - 1 > static_cast<double>(kMaxArrayCopies)) {
        plan.outcome = CopyOutcome::TooLarge;
        return plan;
    }
    const auto offsets = arrayOffsets(p);
    CopyPlanner planner(d);
    const std::vector<std::size_t> entities = planner.copied(set);
    std::size_t lines = 0;
    for (const auto &[dx, dy] : offsets) {
        CopyOutcome outcome = CopyOutcome::NothingToCopy;
        if (!std::isfinite(dx) || !std::isfinite(dy)) break;
        auto step = planner.step(entities, dx, dy, outcome);
        if (!step) {
            plan.steps.clear();
            plan.outcome = outcome;
            return plan;
        }
        if (plan.steps.empty()) {
            for (const auto &e : step->edits) lines += e.inserted.size();
            if (lines * offsets.size() > kMaxArrayLines) {
                plan.outcome = CopyOutcome::TooLarge;
                return plan;
            }
        }
        plan.steps.push_back(std::move(*step));
    }
    plan.outcome = plan.steps.empty() ? CopyOutcome::NothingToCopy : CopyOutcome::Copied;
    return plan;
}

} // namespace quentar::editor
