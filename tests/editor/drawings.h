// Small drawings for the editor's tests.
#pragma once

#include "../dxf/dxf_builder.h"
#include "document/number_text.h"

#include <string>

namespace quentar::testing {

inline std::string num(double v) {
    return document::shortestText(v);
}

inline Groups line(double x1, double y1, double x2, double y2, const std::string &layer = "0",
                   Groups extra = {}) {
    Groups g{{0, "LINE"}, {8, layer}};
    g.insert(g.end(), extra.begin(), extra.end());
    g.insert(g.end(), {{10, num(x1)}, {20, num(y1)}, {11, num(x2)}, {21, num(y2)}});
    return g;
}

inline Groups point(double x, double y, const std::string &layer = "0", Groups extra = {}) {
    Groups g{{0, "POINT"}, {8, layer}};
    g.insert(g.end(), extra.begin(), extra.end());
    g.insert(g.end(), {{10, num(x)}, {20, num(y)}});
    return g;
}

// A LAYER table with "0" and the locked layer "LOCK".
inline Groups lockedLayerTable() {
    return {{0, "SECTION"}, {2, "TABLES"}, {0, "TABLE"},  {2, "LAYER"}, {0, "LAYER"},
            {2, "0"},       {70, "0"},     {62, "7"},     {0, "LAYER"}, {2, "LOCK"},
            {70, "4"},      {62, "7"},     {0, "ENDTAB"}, {0, "ENDSEC"}};
}

// Model, the first paper layout (entities in ENTITIES with 67 = 1) and a second layout whose
// entities live in its own block; a block of parts that no tab shows; a locked model entity;
// a model entity without a handle. Records: 0 in the second layout's block, 1 in PART, 2 model
// (handle 40), 3 first layout (41), 4 locked model (42), 5 model without handle.
inline Groups threeTabs() {
    // clang-format off
    const Groups blocks{
        {0, "SECTION"}, {2, "BLOCKS"},
        {0, "BLOCK"}, {330, "1F"}, {2, "*Model_Space"}, {10, "0"}, {20, "0"}, {0, "ENDBLK"},
        {0, "BLOCK"}, {330, "1B"}, {2, "*Paper_Space"}, {10, "0"}, {20, "0"}, {0, "ENDBLK"},
        {0, "BLOCK"}, {330, "1C"}, {2, "*Paper_Space0"}, {10, "0"}, {20, "0"},
        {0, "LINE"}, {5, "31"}, {8, "0"}, {10, "0"}, {20, "0"}, {11, "5"}, {21, "5"},
        {0, "ENDBLK"},
        {0, "BLOCK"}, {330, "1D"}, {2, "PART"}, {10, "0"}, {20, "0"},
        {0, "LINE"}, {5, "32"}, {8, "0"}, {10, "0"}, {20, "0"}, {11, "5"}, {21, "5"},
        {0, "ENDBLK"}, {0, "ENDSEC"}};
    const Groups entities{
        {0, "SECTION"}, {2, "ENTITIES"},
        {0, "LINE"}, {5, "40"}, {330, "1F"}, {8, "0"}, {10, "0"}, {20, "0"}, {11, "9"},
        {21, "0"},
        {0, "LINE"}, {5, "41"}, {330, "1B"}, {67, "1"}, {8, "0"}, {10, "0"}, {20, "0"},
        {11, "9"}, {21, "0"},
        {0, "LINE"}, {5, "42"}, {330, "1F"}, {8, "LOCK"}, {10, "0"}, {20, "0"}, {11, "9"},
        {21, "0"},
        {0, "LINE"}, {330, "1F"}, {8, "0"}, {10, "0"}, {20, "5"}, {11, "9"}, {21, "5"},
        {0, "ENDSEC"}};
    const Groups objects{
        {0, "SECTION"}, {2, "OBJECTS"},
        {0, "LAYOUT"}, {5, "50"}, {1, "Model"}, {71, "0"}, {330, "1F"},
        {0, "LAYOUT"}, {5, "51"}, {1, "Layout1"}, {71, "1"}, {330, "1B"},
        {0, "LAYOUT"}, {5, "52"}, {1, "Layout2"}, {71, "2"}, {330, "1C"},
        {0, "ENDSEC"}, {0, "EOF"}};
    // clang-format on
    return concat({lockedLayerTable(), blocks, entities, objects});
}

} // namespace quentar::testing
