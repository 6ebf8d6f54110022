// Selection marks by record index.
#include "editor/selection.h"

namespace quentar::editor {

void Selection::reset(std::size_t entities) {
    marks_.assign(entities, 0);
    count_ = 0;
}

void Selection::setSelected(std::size_t i, bool on) {
    if (i >= marks_.size() || selected(i) == on) return;
    marks_[i] ^= kSelected;
    if (on)
        ++count_;
    else
        --count_;
}

void Selection::setMassSelected(std::size_t i, bool on) {
    if (i >= marks_.size()) return;
    marks_[i] = on ? (marks_[i] | kMass) : (marks_[i] & ~kMass);
}

void Selection::deselectAll() {
    for (uint8_t &m : marks_) m &= ~kSelected;
    count_ = 0;
}

std::vector<std::size_t> Selection::indices() const {
    std::vector<std::size_t> out;
    out.reserve(count_);
    for (std::size_t i = 0; i < marks_.size() && out.size() < count_; ++i)
        if (marks_[i] & kSelected) out.push_back(i);
    return out;
}

} // namespace quentar::editor
