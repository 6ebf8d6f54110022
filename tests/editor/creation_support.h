// Drawings for the creation tests: new drawings from the shipped templates, line helpers.
#pragma once

#include "document/dxf_file.h"
#include "dxf/reader.h"
#include "editor/entity_creation.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace quentar::testing {

inline constexpr const char *kR12Template = "template0.dat";   // AC1009
inline constexpr const char *kNewerTemplate = "template1.dat"; // AC1015 with layouts

inline std::string templatePath(const char *name) {
    return std::string(QUENTAR_FIXTURES_DIR) + "/../../data/" + name;
}

// A new drawing from a template, read as the window reads it.
inline document::Drawing newDrawing(const char *templateName) {
    document::Drawing d;
    EXPECT_TRUE(document::loadDxfLines(templatePath(templateName), d)) << templateName;
    dxf::processdxf(d);
    return d;
}

inline document::Drawing drawingOf(const std::string &text) {
    document::Drawing d;
    d.dxf.assign(text);
    dxf::processdxf(d);
    return d;
}

// "  0|LINE|  8|0" -> the lines "  0", "LINE", "  8", "0".
inline std::vector<std::string> lines(std::string_view joined) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = joined.find('|', start);
        out.emplace_back(joined.substr(start, bar - start));
        if (bar == std::string_view::npos) return out;
        start = bar + 1;
    }
}

inline std::vector<std::string> linesOf(const document::LineStore &s) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < s.size(); ++i) out.emplace_back(s[i]);
    return out;
}

inline std::string joined(const std::vector<std::string> &v) {
    std::string out;
    for (std::size_t i = 0; i < v.size(); ++i) out += (i ? "|" : "") + v[i];
    return out;
}

// Every line the creation inserted, its steps in order.
inline std::vector<std::string> insertedLines(const editor::Creation &c) {
    std::vector<std::string> out;
    for (const auto &step : c.steps)
        for (const auto &e : step.edits)
            if (e.removed.empty()) out.insert(out.end(), e.inserted.begin(), e.inserted.end());
    return out;
}

// Applies the planned steps of a creation to the lines, as the editor's commit does; returns it.
inline const editor::Creation &apply(document::Drawing &d, const editor::Creation &c) {
    for (const auto &step : c.steps) document::redoBatch(d.dxf, step);
    return c;
}

// Takes back the creation's steps, last first.
inline void undoAll(document::Drawing &d, const editor::Creation &c) {
    for (auto it = c.steps.rbegin(); it != c.steps.rend(); ++it) document::undoBatch(d.dxf, *it);
}

} // namespace quentar::testing
