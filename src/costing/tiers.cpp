// The tier lookup, the tier list's edits and the file staffel.dat.
#include "costing/tiers.h"

#include "costing/decimal_text.h"
#include "document/safe_file.h"
#include "document/string_file.h"

#include <cmath>
#include <filesystem>

namespace quentar::costing {

std::optional<Refusal> tierRefusal(const TierRow &row, std::string *field) {
    // The rules of the tier dialog's two fields.
    static const TierDialog rules;
    if (auto why = rules.StueckEd.check(row.fromQuantity)) {
        if (field) *field = "fromQuantity";
        return why;
    }
    if (auto why = rules.RabattEd.check(row.discount)) {
        if (field) *field = "discount";
        return why;
    }
    return std::nullopt;
}

double tierDiscount(const std::vector<TierRow> &rows, long long quantity) {
    long long best = 0;
    double discount = 0;
    for (const TierRow &r : rows) {
        if (tierRefusal(r)) continue;
        // A whole number, though perhaps written another way ("1e3").
        const auto from = static_cast<long long>(tryParseDecimal(r.fromQuantity).value_or(0));
        if (from <= quantity && from > best) {
            best = from;
            discount = tryParseDecimal(r.discount).value_or(0);
        }
    }
    return discount;
}

bool TierList::replace(int index, TierRow row) {
    if (index < 0 || index >= static_cast<int>(rows_.size())) return false;
    rows_[static_cast<std::size_t>(index)] = std::move(row);
    return true;
}

bool TierList::remove(int index) {
    if (index < 0 || index >= static_cast<int>(rows_.size())) return false;
    rows_.erase(rows_.begin() + index);
    return true;
}

std::string TierList::fileBytes() const {
    document::ByteWriter out;
    out.writeU32(static_cast<std::uint32_t>(rows_.size()));
    for (const TierRow &r : rows_) {
        document::WriteLenString(out, document::Utf8ToUtf16(r.fromQuantity));
        document::WriteLenString(out, document::Utf8ToUtf16(r.discount));
    }
    return out.take();
}

TierList::LoadResult TierList::readFileBytes(std::string_view bytes) {
    std::vector<TierRow> rows;
    try {
        document::ByteReader in(bytes);
        const auto n = static_cast<std::int32_t>(in.readU32());
        // Each tier takes at least two 4-byte string counts; a larger count is damage, and
        // checking it first keeps a garbage count from reserving gigabytes.
        if (n < 0 || static_cast<std::uint64_t>(n) > in.remaining() / 8) return LoadResult::Corrupt;
        rows.reserve(static_cast<std::size_t>(n));
        for (std::int32_t i = 0; i < n; ++i) {
            TierRow r;
            r.fromQuantity = document::Utf16ToUtf8(document::ReadLenString(in));
            r.discount = document::Utf16ToUtf8(document::ReadLenString(in));
            rows.push_back(std::move(r));
        }
    } catch (const document::FileIOError &) {
        return LoadResult::Corrupt;
    }
    rows_ = std::move(rows);
    return LoadResult::Loaded;
}

TierList::LoadResult TierList::load(const std::string &folder) {
    const auto bytes =
        document::readWholeFile((std::filesystem::path(folder) / kFileName).string());
    if (!bytes) return LoadResult::Missing;
    return readFileBytes(*bytes);
}

bool TierList::save(const std::string &folder) const {
    return document::writeFileAtomically((std::filesystem::path(folder) / kFileName).string(),
                                         fileBytes());
}

TierRow TierDialog::row() const {
    const double quantity = std::trunc(StueckEd.value());
    return {formatFixed(quantity, 0), formatGeneral(RabattEd.value())};
}

void TierDialog::fill(const TierRow &row) {
    if (auto q = tryParseInt32(row.fromQuantity)) StueckEd.setValue(*q);
    if (auto d = tryParseDecimal(row.discount)) RabattEd.setValue(*d);
}

} // namespace quentar::costing
