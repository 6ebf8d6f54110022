// The property the DXF fuzz target checks and the corpus replay test repeats: any bytes read
// without a crash, the counts agree, and a kept Reader gives after an edit what a fresh read of
// the edited lines gives.
#pragma once

#include "document/drawing.h"
#include "document/line_store.h"
#include "dxf/reader.h"
#include "geometry/curves.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace quentar::fuzzing {

namespace detail {

inline std::string at(const char *what, std::size_t entity) {
    return std::string(what) + " (entity " + std::to_string(entity) + ")";
}

inline bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

inline std::string checkCounts(const document::Drawing &d) {
    if (d.anzpoly != static_cast<int32_t>(d.polys.size())) return "anzpoly != polys.size()";
    const auto lines = static_cast<int64_t>(d.dxf.size());
    for (std::size_t i = 0; i < d.polys.size(); ++i) {
        const document::tpoly &r = d.polys[i];
        const std::size_t vertices = r.geom ? r.geom->ps().size() : 0;
        const std::size_t snaps = r.geom ? r.geom->snap().size() : 0;
        if (static_cast<std::size_t>(r.anzp) != vertices) return at("anzp != vertex count", i);
        if (static_cast<std::size_t>(r.anzs) != snaps) return at("anzs != snap count", i);
        if (!(r.linefrom < r.linebis && r.linebis < lines)) return at("line range outside", i);
    }
    return {};
}

// Fit-point splines come from a random search that a fresh read repeats only when it draws the
// same numbers in the same order; their samples stay out of the comparison.
inline bool isSpline(const document::Drawing &d, const document::tpoly &r) {
    const auto line = static_cast<std::size_t>(r.linefrom) + 1;
    return line < d.dxf.size() && document::trimLine(d.dxf[line]) == "SPLINE";
}

inline std::string compareReads(const document::Drawing &kept, const document::Drawing &fresh) {
    if (kept.anzpoly != fresh.anzpoly) return "kept reader: entity count differs";
    if (kept.maxhandle != fresh.maxhandle) return "kept reader: maxhandle differs";
    if (kept.maxviewportid != fresh.maxviewportid) return "kept reader: maxviewportid differs";
    if (kept.insertlinepos != fresh.insertlinepos) return "kept reader: insertlinepos differs";
    for (std::size_t i = 0; i < kept.polys.size(); ++i) {
        const document::tpoly &a = kept.polys[i], &b = fresh.polys[i];
        if (a.linefrom != b.linefrom || a.linebis != b.linebis)
            return at("kept reader: lines differ", i);
        if (a.layerlinenr != b.layerlinenr || a.colorlinenr != b.colorlinenr ||
            a.radiuslinenr != b.radiuslinenr || a.winkel1linenr != b.winkel1linenr ||
            a.winkel2linenr != b.winkel2linenr || a.lineweightlinenr != b.lineweightlinenr ||
            a.detail().ltnamelinenr != b.detail().ltnamelinenr)
            return at("kept reader: value line differs", i);
        if (a.layer(kept.dxf) != b.layer(fresh.dxf) || a.han != b.han || a.layhan != b.layhan ||
            a.isblock != b.isblock || a.detail().theblockname != b.detail().theblockname ||
            a.isclosed != b.isclosed || a.detail().textstr != b.detail().textstr ||
            a.detail().viewid != b.detail().viewid || a.colornr != b.colornr ||
            a.detail().insertstr != b.detail().insertstr)
            return at("kept reader: record differs", i);
        if (isSpline(kept, a)) continue;
        if (a.anzp != b.anzp || a.anzs != b.anzs) return at("kept reader: vertex count differs", i);
        if (!sameBits(a.detail().thewid, b.detail().thewid) || !sameBits(a.cx, b.cx) ||
            !sameBits(a.cy, b.cy) || !sameBits(a.radius, b.radius))
            return at("kept reader: value differs", i);
        for (int k = 0; k < a.anzp; ++k) {
            const document::Tmypoi &p = a.p(k), &q = b.p(k);
            const auto ki = static_cast<std::size_t>(k);
            if (!sameBits(p.x, q.x) || !sameBits(p.y, q.y) || !sameBits(p.z, q.z) ||
                p.setwid != q.setwid || !sameBits(a.geom->width(ki), b.geom->width(ki)) ||
                p.linex != q.linex || a.geom->liney(p) != b.geom->liney(q) ||
                a.geom->linez(p) != b.geom->linez(q))
                return at("kept reader: vertex differs", i);
        }
    }
    return {};
}

// A small edit chosen by the bytes themselves, so the fuzzer can steer which entity changes.
inline void edit(document::LineStore &lines, std::string_view bytes) {
    if (lines.empty() || bytes.empty()) return;
    uint32_t h = 2166136261u;
    for (unsigned char c : bytes) h = (h ^ c) * 16777619u;
    const std::size_t line = h % lines.size();
    switch (static_cast<unsigned char>(bytes.back()) % 4) {
    case 0: lines.replace(line, std::string(document::trimLine(lines[line])) + "1"); break;
    case 1: lines.erase(line, line + 2 <= lines.size() ? 2 : 1); break;
    case 2: lines.insert(line, std::vector<std::string>{"  8", "EDIT"}); break;
    default:
        lines.insert(line, std::vector<std::string>{"  0", "LINE", " 10", "1.5", " 20", "2.5",
                                                    " 11", "3.5", " 21", "4.5"});
        break;
    }
}

} // namespace detail

// Empty when every property holds, otherwise what broke.
inline std::string rereadCheck(std::string_view bytes) {
    using namespace detail;
    document::Drawing d;
    d.dxf.assign(std::string(bytes));
    {
        render::RandomSource rng(1);
        dxf::processdxf(d, &rng);
        if (auto e = checkCounts(d); !e.empty()) return "fresh read: " + e;
    }

    render::RandomSource keptRng(1);
    dxf::Reader reader(&keptRng);
    reader.processdxf(d);
    edit(d.dxf, bytes);
    reader.processdxf(d);
    if (auto e = checkCounts(d); !e.empty()) return "kept reader: " + e;

    document::Drawing fresh;
    fresh.dxf = d.dxf;
    render::RandomSource freshRng(1);
    dxf::processdxf(fresh, &freshRng);
    if (auto e = compareReads(d, fresh); !e.empty()) return e;

    document::LineStore again;
    again.assign(d.dxf.serialize());
    if (again.size() != d.dxf.size()) return "serialize and assign: line count differs";
    for (std::size_t i = 0; i < again.size(); ++i)
        if (again[i] != d.dxf[i]) return at("serialize and assign: line differs", i);
    return {};
}

} // namespace quentar::fuzzing
