// Reading and writing material.dat: the material rows, the feed table and the pricing flags.
#include "costing/catalogue.h"

#include "document/safe_file.h"
#include "document/string_file.h"

#include <bit>
#include <filesystem>

namespace quentar::costing {

namespace {

using document::ByteReader;
using document::ByteWriter;

// The smallest room one record can take: a string record is at least its 4-byte count.
constexpr std::size_t kMinMaterialBytes = 3 * 4;
constexpr std::size_t kFeedEntryBytes = 4 + 8 + 8;

std::int32_t readI32(ByteReader &in) { return static_cast<std::int32_t>(in.readU32()); }

double readF64(ByteReader &in) {
    const std::uint64_t lo = in.readU32();
    const std::uint64_t hi = in.readU32();
    return std::bit_cast<double>(hi << 32 | lo);
}

void writeF64(ByteWriter &out, double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    out.writeU32(static_cast<std::uint32_t>(bits));
    out.writeU32(static_cast<std::uint32_t>(bits >> 32));
}

std::string readText(ByteReader &in) { return document::Utf16ToUtf8(document::ReadLenString(in)); }

void writeText(ByteWriter &out, const std::string &s) {
    document::WriteLenString(out, document::Utf8ToUtf16(s));
}

// A count that claims more records than the rest of the data can hold is damage; checking it
// before anything is reserved keeps a garbage count from asking for gigabytes.
bool countFits(std::int32_t count, std::size_t minBytesEach, const ByteReader &in) {
    return count >= 0 && static_cast<std::uint64_t>(count) <= in.remaining() / minBytesEach;
}

} // namespace

std::string Catalogue::fileBytes() const {
    ByteWriter out;
    out.writeU32(static_cast<std::uint32_t>(rows_.size()));
    for (const MaterialRow &r : rows_) {
        writeText(out, r.name);
        writeText(out, r.price);
        writeText(out, r.weight);
    }
    out.writeU32(vorschub.count);
    for (const tvorschub &e : feedEntries()) {
        out.writeU32(static_cast<std::uint32_t>(e.matnr));
        writeF64(out, e.staerke);
        writeF64(out, e.vorschubwert);
    }
    out.writeU32(static_cast<std::uint32_t>(rows_.size()));
    for (const MaterialRow &r : rows_) {
        const char flag = r.perSquareMetre ? 1 : 0;
        out.writeBytes(std::string_view(&flag, 1));
    }
    return out.take();
}

Catalogue::LoadResult Catalogue::readFileBytes(std::string_view bytes) {
    // Everything is read into locals first: a file that turns out damaged half-way must leave
    // the catalogue exactly as it was.
    std::vector<MaterialRow> rows;
    std::optional<FeedTable> feeds;
    try {
        ByteReader in(bytes);
        const std::int32_t n = readI32(in);
        if (!countFits(n, kMinMaterialBytes, in)) return LoadResult::Corrupt;
        rows.reserve(static_cast<std::size_t>(n));
        for (std::int32_t i = 0; i < n; ++i) {
            MaterialRow r;
            r.name = readText(in);
            r.price = readText(in);
            r.weight = readText(in);
            rows.push_back(std::move(r));
        }
        if (!in.atEnd()) {
            const std::int32_t m = readI32(in);
            if (!countFits(m, kFeedEntryBytes, in)) return LoadResult::Corrupt;
            feeds.emplace();
            for (std::int32_t i = 0; i < m; ++i) {
                tvorschub *e = feeds->Add();
                e->matnr = readI32(in);
                e->staerke = readF64(in);
                e->vorschubwert = readF64(in);
            }
        }
        if (!in.atEnd()) {
            const std::int32_t k = readI32(in);
            // More flags than materials cannot come from a file this program wrote.
            if (!countFits(k, 1, in) || k > n) return LoadResult::Corrupt;
            for (std::int32_t i = 0; i < k; ++i)
                rows[static_cast<std::size_t>(i)].perSquareMetre = in.readBytes(1)[0] != 0;
        }
        // Bytes after the flags are left alone, as they always were.
    } catch (const document::FileIOError &) {
        return LoadResult::Corrupt;
    } catch (const std::bad_alloc &) {
        return LoadResult::Corrupt;
    }
    rows_ = std::move(rows);
    if (feeds) vorschub = std::move(*feeds);
    return LoadResult::Loaded;
}

Catalogue::LoadResult Catalogue::load(const std::string &folder) {
    const auto bytes =
        document::readWholeFile((std::filesystem::path(folder) / kFileName).string());
    if (!bytes) return LoadResult::Missing;
    return readFileBytes(*bytes);
}

bool Catalogue::save(const std::string &folder) const {
    return document::writeFileAtomically((std::filesystem::path(folder) / kFileName).string(),
                                         fileBytes());
}

} // namespace quentar::costing
