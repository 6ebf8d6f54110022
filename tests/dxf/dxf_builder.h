// Builds small DXF texts for reader tests: groups in, lines out.
#pragma once

#include "document/drawing.h"
#include "dxf/reader.h"

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace quentar::testing {

using Group = std::pair<int, std::string>;
using Groups = std::vector<Group>;

// Group codes right-aligned to three characters as AutoCAD writes them; CR LF line ends.
inline std::string dxfText(const Groups &groups) {
    std::string s;
    for (const auto &[code, value] : groups) {
        std::string c = std::to_string(code);
        while (c.size() < 3) c.insert(c.begin(), ' ');
        s += c + "\r\n" + value + "\r\n";
    }
    return s;
}

inline Groups concat(std::initializer_list<Groups> parts) {
    Groups all;
    for (const auto &p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

// An ENTITIES section around the given groups, followed by EOF.
inline Groups entitiesSection(const Groups &entities) {
    return concat({{{0, "SECTION"}, {2, "ENTITIES"}}, entities, {{0, "ENDSEC"}, {0, "EOF"}}});
}

inline document::Drawing readText(const std::string &text) {
    document::Drawing d;
    d.dxf.assign(text);
    render::RandomSource rng(42);
    dxf::processdxf(d, &rng);
    return d;
}

inline document::Drawing read(const Groups &groups) { return readText(dxfText(groups)); }

} // namespace quentar::testing
