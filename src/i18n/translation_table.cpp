// Rows, text pool and the 256-bucket lookup index of the translation table.
#include "i18n/translation_table.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace quentar::i18n {

std::u16string_view TranslationTable::cell(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= kTranslateColumns) return {};
    const std::uint32_t id = rows_.data()[row].text[column];
    if (id == 0) return {};
    return strings_[id - 1];
}

void TranslationTable::setCell(int row, int column, std::u16string_view text) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= kTranslateColumns) return;
    const std::uint32_t id = store(text);
    std::uint32_t &slot = rows_.data()[row].text[column];
    release(slot);
    slot = id;
    if (column == 0) indexStale_ = true;
}

int TranslationTable::appendRow() {
    rows_.Add();
    return rowCount() - 1;
}

void TranslationTable::deleteRow(int row) {
    if (row < 0 || row >= rowCount()) return;
    for (std::uint32_t id : rows_.data()[row].text) release(id);
    rows_.Delete(row);
    indexStale_ = true;
}

void TranslationTable::clear() {
    rows_.Clear();
    strings_.clear();
    freeIds_.clear();
    for (auto &bucket : buckets_) bucket.Clear();
    sortedCount_.fill(0);
    indexStale_ = false;
}

int TranslationTable::addKey(std::u16string_view key) {
    const int row = appendRow();
    rows_.data()[row].text[0] = store(key);
    if (!key.empty() && !indexStale_) *buckets_[bucketOf(key)].Add() = row;
    return row;
}

int TranslationTable::findRow(std::u16string_view wanted) {
    if (wanted.empty()) return -1;
    if (indexStale_) rebuildIndex();
    const int b = bucketOf(wanted);
    const std::int32_t *entries = buckets_[b].data();
    const std::uint32_t count = buckets_[b].count;
    const std::uint32_t sorted = sortedCount_[b];
    // The first equal entry in sorted order is the one a scan from the start would meet first.
    const std::int32_t *hit =
        std::lower_bound(entries, entries + sorted, wanted,
                         [this](std::int32_t row, std::u16string_view k) { return key(row) < k; });
    if (hit != entries + sorted && key(*hit) == wanted) return *hit;
    for (std::uint32_t i = sorted; i < count; ++i)
        if (key(entries[i]) == wanted) return entries[i];
    return -1;
}

std::span<const std::int32_t> TranslationTable::bucketRows(int bucket) {
    if (bucket < 0 || bucket > 255) return {};
    if (indexStale_) rebuildIndex();
    return {buckets_[bucket].data(), buckets_[bucket].count};
}

std::uint32_t TranslationTable::store(std::u16string_view text) {
    if (text.empty()) return 0;
    if (!freeIds_.empty()) {
        const std::uint32_t id = freeIds_.back();
        strings_[id - 1] = text;
        freeIds_.pop_back();
        return id;
    }
    strings_.emplace_back(text);
    return static_cast<std::uint32_t>(strings_.size());
}

void TranslationTable::release(std::uint32_t id) {
    if (id == 0) return;
    std::u16string().swap(strings_[id - 1]);
    freeIds_.push_back(id);
}

std::u16string_view TranslationTable::key(std::int32_t row) const { return cell(row, 0); }

void TranslationTable::rebuildIndex() {
    for (auto &bucket : buckets_) bucket.Clear();
    for (int row = 0; row < rowCount(); ++row) {
        const std::u16string_view k = key(row);
        if (!k.empty()) *buckets_[bucketOf(k)].Add() = row;
    }
    for (int b = 0; b < 256; ++b) {
        const auto count = static_cast<int>(buckets_[b].count);
        // Generous for any real table; only input built against the middle pivot runs out.
        const int depthBudget = 2 * std::bit_width(static_cast<unsigned>(count)) + 16;
        if (count > 1) sortBucket(buckets_[b].data(), 0, count - 1, depthBudget);
        sortedCount_[b] = static_cast<std::uint32_t>(count);
    }
    indexStale_ = false;
}

// The classic quicksort with the middle element as pivot. It is not stable, and which of several
// rows with the same German text is found depends on exactly this sequence of swaps, so the
// sequence is kept. Two changes that do not alter the outcome: the smaller part is sorted by
// recursion and the larger by the loop, so the stack stays shallow; and when the depth budget is
// spent (only on input crafted against the pivot choice) the rest is sorted by std::sort, so a
// hostile translate.dat cannot take quadratic time.
void TranslationTable::sortBucket(std::int32_t *entries, int first, int last, int depthBudget) {
    while (first < last) {
        if (depthBudget-- <= 0) {
            std::sort(entries + first, entries + last + 1,
                      [this](std::int32_t a, std::int32_t b) { return key(a) < key(b); });
            return;
        }
        int i = first;
        int j = last;
        // The texts stay where they are while the row numbers move, so the view stays valid.
        const std::u16string_view pivot = key(entries[(first + last) / 2]);
        do {
            while (key(entries[i]) < pivot) ++i;
            while (key(entries[j]) > pivot) --j;
            if (i <= j) {
                std::swap(entries[i], entries[j]);
                ++i;
                --j;
            }
        } while (i <= j);
        // The two parts first ... j and i ... last are disjoint, so their order does not matter.
        if (j - first < last - i) {
            if (first < j) sortBucket(entries, first, j, depthBudget);
            first = i;
        } else {
            if (i < last) sortBucket(entries, i, last, depthBudget);
            last = j;
        }
    }
}

} // namespace quentar::i18n
