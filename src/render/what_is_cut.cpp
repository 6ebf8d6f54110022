// Which drawn content the laser cuts: what CAD programs hide (frozen and unprinted layers,
// invisible entities) never is, nor what is drawn with a broken line type (centre marks, bend
// lines, hidden edges).
#include "render/render_pass.h"

#include <algorithm>
#include <array>

namespace quentar::render {

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

bool startsNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && equalNoCase(s.substr(0, prefix.size()), prefix);
}

// Line types a drawing names without defining them, taken by their name: the broken families
// of the usual line type files (acad.lin, acadiso.lin and their German counterparts).
constexpr std::array kBrokenFamilies = {
    std::string_view("CENTER"),  std::string_view("CENTRE"),  std::string_view("HIDDEN"),
    std::string_view("DASH"),    std::string_view("PHANTOM"), std::string_view("DOT"),
    std::string_view("DIVIDE"),  std::string_view("BORDER"),  std::string_view("ACAD_ISO"),
    std::string_view("JIS_"),    std::string_view("MITTE"),   std::string_view("STRICH"),
    std::string_view("VERDECKT")};

} // namespace

std::string_view RenderPass::linetypeOf(const document::tpoly &e,
                                        const document::TLayer *layer) const {
    // As the pen takes it: the entity's own name unless it says "ByLayer" or "ByBlock" (exactly),
    // else its layer's.
    const std::string &own = e.detail().ltname;
    if (e.ltnamepresent && !own.empty() && own != "ByLayer" && own != "ByBlock") return own;
    return layer ? std::string_view(layer->ltname) : std::string_view();
}

void RenderPass::tableLinetypes() {
    const std::size_t n =
        std::min(static_cast<std::size_t>(std::max(d_.anzlt, 0)), d_.linetype.size());
    for (std::size_t i = 0; i < n; ++i) {
        const document::TLineType &lt = d_.linetype[i];
        // A gap anywhere in the pattern: the line is drawn broken.
        bool broken = false;
        for (float part : lt.parts) broken = broken || part < 0;
        brokenByName_.emplace(lt.name, broken); // the first of a name, as the pen finds it
    }
}

bool RenderPass::brokenLinetype(std::string_view name) const {
    if (name.empty()) return false;
    const auto it = brokenByName_.find(name);
    if (it != brokenByName_.end()) return it->second;
    // Not defined (drawn solid): a name of a broken family still says what the line is.
    for (std::string_view family : kBrokenFamilies)
        if (startsNoCase(name, family)) return true;
    return false;
}

Hidden RenderPass::hiddenWhy(const document::tpoly &e, const DrawParams &p,
                             const document::TLayer *layer, std::string_view &byLayer) const {
    if (p.hidden != Hidden::No) {
        byLayer = p.hiddenLayer;
        return p.hidden;
    }
    byLayer = {};
    if (e.invisible) return Hidden::Invisible;
    if (!layer) return Hidden::No;
    if (document::LayerLookup::frozen(*layer)) {
        byLayer = document::trimLine(layer->name);
        return Hidden::Frozen;
    }
    if (!document::LayerLookup::plotted(*layer)) {
        byLayer = document::trimLine(layer->name);
        return Hidden::NotPlotted;
    }
    return Hidden::No;
}

void RenderPass::addHidden(const DrawParams &p, double length) {
    if (!(length > 0)) return;
    if (hiddenIndex_.size() != f_.hidden.size()) {
        // The figures were reset (or measured by another pass) since the index was built.
        hiddenIndex_.clear();
        for (std::size_t i = 0; i < f_.hidden.size(); ++i)
            hiddenIndex_.emplace(static_cast<char>(f_.hidden[i].why) + f_.hidden[i].layer, i);
    }
    std::string key(1, static_cast<char>(p.hidden));
    key += p.hiddenLayer;
    auto [it, fresh] = hiddenIndex_.emplace(std::move(key), f_.hidden.size());
    if (fresh) f_.hidden.push_back({p.hidden, std::string(p.hiddenLayer), 0, 0});
    ContourFigures::HiddenContent &h = f_.hidden[it->second];
    ++h.entities;
    h.length += length;
}

} // namespace quentar::render
