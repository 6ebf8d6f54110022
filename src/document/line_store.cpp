// Splitting a file into lines, editing lines, writing them back with CR LF.
#include "document/line_store.h"

#include <cstring>

namespace quentar::document {

LineStore::LineStore(const LineStore &other) { *this = other; }

LineStore &LineStore::operator=(const LineStore &other) {
    if (this == &other) return *this;
    // Copies share the immutable file buffer; edited lines are copied into a fresh arena.
    fileBuffer_ = other.fileBuffer_;
    arena_.clear();
    lines_.clear();
    lines_.reserve(other.lines_.size());
    const char *fb = fileBuffer_ ? fileBuffer_->data() : nullptr;
    const char *fe = fileBuffer_ ? fb + fileBuffer_->size() : nullptr;
    for (std::string_view l : other.lines_) {
        if (fb && l.data() >= fb && l.data() + l.size() <= fe)
            lines_.push_back(l);
        else
            lines_.push_back(store(l));
    }
    return *this;
}

void LineStore::assign(std::string bytes) {
    arena_.clear();
    lines_.clear();
    auto buf = std::make_shared<std::string>(std::move(bytes));
    const char *p = buf->data();
    const std::size_t n = buf->size();
    // One pass to count so the line vector is allocated once.
    std::size_t count = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (p[i] == '\n' || (p[i] == '\r' && (i + 1 >= n || p[i + 1] != '\n'))) ++count;
    }
    lines_.reserve(count + 1);
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < n) {
        const void *hit = std::memchr(p + i, '\n', n - i);
        const void *hitCr = std::memchr(p + i, '\r', (hit ? static_cast<const char *>(hit) : p + n) - (p + i));
        if (hitCr) {
            std::size_t at = static_cast<const char *>(hitCr) - p;
            lines_.emplace_back(p + start, at - start);
            i = at + 1;
            if (i < n && p[i] == '\n') ++i;
            start = i;
        } else if (hit) {
            std::size_t at = static_cast<const char *>(hit) - p;
            lines_.emplace_back(p + start, at - start);
            i = at + 1;
            start = i;
        } else {
            break;
        }
    }
    if (start < n) lines_.emplace_back(p + start, n - start);
    fileBuffer_ = std::move(buf);
}

void LineStore::clear() {
    lines_.clear();
    arena_.clear();
    fileBuffer_.reset();
}

std::string_view LineStore::store(std::string_view line) {
    arena_.emplace_back(line);
    return arena_.back();
}

void LineStore::insert(std::size_t pos, std::string_view line) {
    if (pos > lines_.size()) pos = lines_.size();
    std::string_view v = store(line);
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(pos), v);
}

void LineStore::insert(std::size_t pos, const std::vector<std::string> &lines) {
    if (pos > lines_.size()) pos = lines_.size();
    std::vector<std::string_view> views;
    views.reserve(lines.size());
    for (const auto &l : lines) views.push_back(store(l));
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(pos), views.begin(), views.end());
}

void LineStore::replace(std::size_t pos, std::string_view line) {
    if (pos >= lines_.size()) return;
    lines_[pos] = store(line);
}

void LineStore::erase(std::size_t pos, std::size_t count) {
    if (pos >= lines_.size()) return;
    if (count > lines_.size() - pos) count = lines_.size() - pos;
    auto b = lines_.begin() + static_cast<std::ptrdiff_t>(pos);
    lines_.erase(b, b + static_cast<std::ptrdiff_t>(count));
}

std::string LineStore::serialize() const {
    std::size_t total = 0;
    for (auto l : lines_) total += l.size() + 2;
    std::string out;
    out.reserve(total);
    for (auto l : lines_) {
        out.append(l);
        out.append("\r\n", 2);
    }
    return out;
}

} // namespace quentar::document
