// The reading pass: sections, header variables, tables, blocks, layouts and the entity dispatch.
#include "dxf/reader.h"

#include "dxf/pass.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <unordered_map>
#include <utility>

namespace quentar::dxf {

namespace {

enum class Kind {
    Viewport, Polyline, Dimension, LineFamily, Hatch, Wipeout, Solid, Point, Spline, Arc, Circle,
    Ellipse, Text, MText, Attrib, Insert, Unknown
};

struct DispatchEntry {
    std::string_view keyword;
    Kind kind;
    document::EntityKind entityKind;
};

// Keywords are compared exactly: "line" is not a LINE and is skipped.
using EK = document::EntityKind;
constexpr std::array<DispatchEntry, 20> kDispatch{{
    {"LINE", Kind::LineFamily, EK::Line},
    {"ARC", Kind::Arc, EK::Arc},
    {"CIRCLE", Kind::Circle, EK::Circle},
    {"LWPOLYLINE", Kind::LineFamily, EK::LwPolyline},
    {"POLYLINE", Kind::Polyline, EK::Polyline},
    {"SPLINE", Kind::Spline, EK::Spline},
    {"TEXT", Kind::Text, EK::Text},
    {"MTEXT", Kind::MText, EK::MText},
    {"INSERT", Kind::Insert, EK::Insert},
    {"DIMENSION", Kind::Dimension, EK::Dimension},
    {"ELLIPSE", Kind::Ellipse, EK::Ellipse},
    {"HATCH", Kind::Hatch, EK::Hatch},
    {"SOLID", Kind::Solid, EK::Solid},
    {"POINT", Kind::Point, EK::Point},
    {"VIEWPORT", Kind::Viewport, EK::Viewport},
    {"WIPEOUT", Kind::Wipeout, EK::Wipeout},
    {"LEADER", Kind::LineFamily, EK::Leader},
    {"RAY", Kind::LineFamily, EK::Ray},
    {"XLINE", Kind::LineFamily, EK::XLine},
    // The values of an insert's attributes follow it; they are texts of their own.
    {"ATTRIB", Kind::Attrib, EK::Text},
}};

const DispatchEntry *entryOf(std::string_view keyword) {
    for (const auto &e : kDispatch)
        if (e.keyword == keyword) return &e;
    return nullptr;
}

bool usesWidthState(Kind k) { return k == Kind::LineFamily || k == Kind::Polyline; }

// 64-bit hash of a run of lines (lengths included, so line breaks count).
inline uint64_t mix(uint64_t a, uint64_t b) {
    unsigned __int128 r = static_cast<unsigned __int128>(a) * b;
    return static_cast<uint64_t>(r) ^ static_cast<uint64_t>(r >> 64);
}

uint64_t hashLines(const document::LineStore &lines, int64_t from, int64_t to, uint64_t seed) {
    constexpr uint64_t k1 = 0xa0761d6478bd642full, k2 = 0xe7037ed1a0b428dbull;
    uint64_t h = seed ^ k1;
    for (int64_t i = from; i < to; ++i) {
        std::string_view l = lines[static_cast<std::size_t>(i)];
        const char *s = l.data();
        std::size_t len = l.size();
        h = mix(h ^ len, k2);
        while (len >= 8) {
            uint64_t w;
            std::memcpy(&w, s, 8);
            h = mix(h ^ w, k1);
            s += 8;
            len -= 8;
        }
        if (len) {
            uint64_t w = 0;
            std::memcpy(&w, s, len);
            h = mix(h ^ w, k2);
        }
    }
    return h;
}

uint64_t hashDouble(uint64_t h, double v) {
    uint64_t w;
    std::memcpy(&w, &v, 8);
    return mix(h ^ w, 0x8ebc6af09c88c6e3ull);
}

} // namespace

struct Reader::Cache {
    struct Key {
        uint64_t text;     // the entity's lines
        uint64_t context;  // block context and incoming width state
        uint32_t lineCount;
        bool ranOut;
        bool operator==(const Key &o) const {
            return text == o.text && context == o.context && lineCount == o.lineCount &&
                   ranOut == o.ranOut;
        }
    };
    // What an entity's reading changes outside its own record.
    struct Extra {
        int32_t maxHandle = 0;
        int32_t maxViewId = 0;
        bool widthSet = false;
        double widthOut = 0;
    };
    // Parallel to the polys of the read that made them.
    std::vector<Key> keys;
    std::vector<Extra> extras;
    const document::Drawing *drawing = nullptr;
    const tpoly *polysData = nullptr;
    std::size_t polysSize = 0;

    // Where the next entity is expected: an edit leaves almost every entity in the order of the
    // last read, so a look at the next few keys finds it without any table.
    std::size_t cursor = 0;
    // Open-addressing table key -> index, built only when the neighbourhood does not hold a key.
    std::vector<uint32_t> table;

    static constexpr uint32_t kEmpty = UINT32_MAX;
    static constexpr std::size_t kWindow = 8;

    void buildTable() {
        std::size_t size = 16;
        while (size < keys.size() * 2) size <<= 1;
        table.assign(size, kEmpty);
        for (std::size_t i = 0; i < keys.size(); ++i) {
            std::size_t slot = keys[i].text & (size - 1);
            while (table[slot] != kEmpty) slot = (slot + 1) & (size - 1);
            table[slot] = static_cast<uint32_t>(i);
        }
    }

    // Index of an entity of this read with the key, or -1.
    int64_t find(const Key &key) {
        const std::size_t n = keys.size();
        for (std::size_t k = 0; k < kWindow && cursor + k < n; ++k)
            if (keys[cursor + k] == key) return static_cast<int64_t>(cursor + k);
        if (table.empty()) buildTable();
        const std::size_t mask = table.size() - 1;
        for (std::size_t slot = key.text & mask; table[slot] != kEmpty; slot = (slot + 1) & mask)
            if (keys[table[slot]] == key) return table[slot];
        return -1;
    }
};

namespace {

// Shifts the line fields of an entity taken over from an earlier read to its new first line.
void shiftLines(tpoly &r, int32_t delta) {
    if (delta == 0) return;
    for (int32_t *f : {&r.layerlinenr, &r.lineweightlinenr, &r.colorlinenr, &r.winkel1linenr,
                       &r.winkel2linenr, &r.radiuslinenr})
        if (*f) *f += delta;
    if (r.detail().ltnamelinenr) r.detailForWrite().ltnamelinenr += delta;
    r.linefrom += delta;
    r.linebis += delta;
}

struct PassRunner {
    Pass p;
    Reader::Cache *oldCache;
    Reader::Cache *newCache;
    document::EntityList &oldPolys;
    document::EntityList newPolys;
    GeometryBuild geomScratch;
    int64_t reused = 0, read = 0;
    bool sectionOpen = false, eofSeen = false;

    PassRunner(document::Drawing &d, Reader::Cache *oc, Reader::Cache *nc, document::EntityList &op)
        : p(d.dxf, d), oldCache(oc), newCache(nc), oldPolys(op) {}

    void readLayout();
    void readTable();
    void readBlockHeader();
    void skipEntity();
    void dispatch();
    void noteSkipped(std::string_view keyword);
    void readEntity(const DispatchEntry &entry, Reader::Cache::Extra &extra);
    void run();
};

void PassRunner::readLayout() {
    document::Tlayout &l = p.d.layouts.emplace_back();
    while (p.readGroup()) {
        std::string_view v = p.value;
        switch (p.code) {
        case 5: {
            int32_t h;
            if (toHandle(v, h)) p.raiseMaxHandle(h);
            break;
        }
        case 1: l.name.assign(v); break;
        case 71: toInteger(v, l.order); break;
        case 330: toHandle(v, l.layhan); break;
        case 10: toReal(v, l.lminx); break;
        case 20: toReal(v, l.lminy); break;
        case 30: toReal(v, l.lminz); break;
        case 11: toReal(v, l.lmaxx); break;
        case 21: toReal(v, l.lmaxy); break;
        case 31: toReal(v, l.lmaxz); break;
        case 14: toReal(v, l.eminx); break;
        case 24: toReal(v, l.eminy); break;
        case 34: toReal(v, l.eminz); break;
        case 15: toReal(v, l.emaxx); break;
        case 25: toReal(v, l.emaxy); break;
        case 35: toReal(v, l.emaxz); break;
        case 40: toReal(v, l.marginleft); break;
        case 41: toReal(v, l.marginbottom); break;
        case 42: toReal(v, l.marginright); break;
        case 43: toReal(v, l.margintop); break;
        case 44: toReal(v, l.paperwidth); break;
        case 45: toReal(v, l.paperheight); break;
        case 72: toInteger(v, l.paperunits); break;
        case 73: toInteger(v, l.plotrotation); break;
        default: break;
        }
        if (p.code == 0 || p.linesRanOut()) break;
    }
    p.reuse = true;
}

void PassRunner::readTable() {
    std::string tableName;
    bool inLtype = false, inLayer = false, inDimStyle = false;
    document::Drawing &d = p.d;
    while (p.readGroup()) {
        std::string_view v = p.value;
        switch (p.code) {
        case 5: {
            int32_t h;
            if (toHandle(v, h)) p.raiseMaxHandle(h);
            break;
        }
        case 2:
            if (inLtype)
                d.linetype[static_cast<std::size_t>(d.anzlt - 1)].name.assign(v);
            else if (inDimStyle)
                d.dimstyles.back().first.assign(v);
            else if (inLayer)
                d.layers[static_cast<std::size_t>(d.anzlayer - 1)].name.assign(v);
            else
                tableName.assign(v);
            break;
        case 3:
            if (inLtype) d.linetype[static_cast<std::size_t>(d.anzlt - 1)].desc.assign(v);
            if (inDimStyle) d.dimstyles.back().second.dimpost.assign(v);
            break;
        case 49:
            if (inLtype) {
                double x;
                if (toReal(v, x))
                    d.linetype[static_cast<std::size_t>(d.anzlt - 1)].parts.push_back(
                        static_cast<float>(x));
            }
            break;
        default:
            if (inDimStyle) {
                double x;
                if (toReal(v, x)) d.dimstyles.back().second.set(p.code, x);
            }
            if (inLayer) {
                document::TLayer &l = d.layers[static_cast<std::size_t>(d.anzlayer - 1)];
                switch (p.code) {
                case 70:
                    if (toInteger(v, l.flag)) {
                        l.flaglinenr = p.valueLine();
                        l.flagpresent = true;
                    }
                    break;
                case 62:
                    if (toInteger(v, l.colornr)) {
                        l.colorlinenr = p.valueLine();
                        l.colorpresent = true;
                    }
                    break;
                case 6:
                    l.ltname.assign(v);
                    l.ltnamepresent = true;
                    l.ltnamelinenr = p.valueLine();
                    break;
                case 370:
                    if (toInteger(v, l.lineweight)) {
                        l.lineweightlinenr = p.valueLine();
                        l.linweightpresent = true;
                    }
                    break;
                case 290:
                    toInteger(v, l.plotflag);
                    break;
                case 420:
                    toInteger(v, l.truecolor);
                    break;
                case 390:
                    d.plotstylereaded.assign(v);
                    break;
                default:
                    break;
                }
            }
            break;
        case 0:
            if (v == "LTYPE" && tableName == "LTYPE") {
                // A fresh record per entry: an incomplete entry must not inherit an older one's
                // values.
                d.linetype.emplace_back();
                ++d.anzlt;
                inLtype = true;
            } else if (v == "LAYER" && tableName == "LAYER") {
                d.layers.emplace_back();
                ++d.anzlayer;
                inLayer = true;
            } else if (v == "DIMSTYLE" && tableName == "DIMSTYLE") {
                d.dimstyles.emplace_back();
                inDimStyle = true;
            } else if (v == "ENDTAB") {
                if (inLtype) d.ltypeinsetlinenr = p.codeLine();
                if (inLayer) d.layerinsertlinenr = p.codeLine();
                inLtype = inLayer = inDimStyle = false;
            }
            break;
        }
        if ((p.code == 0 && v == "ENDTAB") || p.linesRanOut()) break;
    }
    p.reuse = true;
}

void PassRunner::readBlockHeader() {
    p.inBlock = true;
    // Some programs write only the name (2), others only the second name (3): a block without
    // either has no name, and never the one of the block before it.
    std::string_view name2;
    bool name3Given = false;
    p.blockName = {};
    p.blockOwner = 0;
    p.blockBaseX = p.blockBaseY = p.blockBaseZ = 0;
    while (p.readGroup()) {
        std::string_view v = p.value;
        switch (p.code) {
        case 5: {
            int32_t h;
            if (toHandle(v, h)) p.raiseMaxHandle(h);
            break;
        }
        case 2: name2 = v; break;
        case 3:
            p.blockName = v;
            name3Given = true;
            break;
        case 330: toHandle(v, p.blockOwner); break;
        case 10: toReal(v, p.blockBaseX); break;
        case 20: toReal(v, p.blockBaseY); break;
        case 30: toReal(v, p.blockBaseZ); break;
        default: break;
        }
        if (p.code == 0 || p.linesRanOut()) break;
    }
    p.reuse = true;
    if (!name3Given) p.blockName = name2;
    document::tblock &b = p.d.blocks.emplace_back();
    b.blockname.assign(p.blockName);
    b.hand = p.blockOwner;
}

void PassRunner::noteSkipped(std::string_view keyword) {
    // Parts of the file's structure, drawn through the records they belong to: not missing.
    if (keyword == "ATTDEF" || keyword == "SEQEND" || keyword == "VERTEX" ||
        keyword == "ENDBLK" || keyword == "BLOCK")
        return;
    // Names of entity kinds are short upper-case words; anything else (a number where a kind
    // should be says the file lost its pairing) is not repeated back.
    bool plain = !keyword.empty() && keyword.size() <= 32 && keyword[0] >= 'A' && keyword[0] <= 'Z';
    for (char c : keyword)
        plain = plain && ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_');
    std::string_view name = plain ? keyword : std::string_view("other");
    auto &skipped = p.d.skipped;
    for (auto &k : skipped)
        if (k.name == name) {
            ++k.count;
            return;
        }
    if (skipped.size() + 1 >= document::Drawing::kMaxSkippedKinds) name = "other";
    for (auto &k : skipped)
        if (k.name == name) {
            ++k.count;
            return;
        }
    skipped.push_back({std::string(name), 1});
}

void PassRunner::skipEntity() {
    noteSkipped(p.value);
    while (p.readGroup()) {
        if (p.code == 0 || p.linesRanOut()) break;
    }
    p.reuse = true;
}

void PassRunner::readEntity(const DispatchEntry &entry, Reader::Cache::Extra &extra) {
    const Kind kind = entry.kind;
    const std::string_view keyword = entry.keyword;
    EntityBuild e(geomScratch);
    tpoly &r = e.rec;
    r.kind = entry.entityKind;
    r.isblock = p.inBlock;
    if (p.inBlock) {
        document::EntityDetail &dt = r.detailForWrite();
        dt.theblockname.assign(p.blockName);
        r.layhan = p.blockOwner;
        dt.blockbasex = p.blockBaseX;
        dt.blockbasey = p.blockBaseY;
        dt.blockbasez = p.blockBaseZ;
    }
    r.linefrom = p.codeLine();
    r.nr = -1;
    const double widthIn = p.currentWidth;
    switch (kind) {
    case Kind::Viewport: readViewport(p, e); break;
    case Kind::Polyline: readPolyline(p, e); break;
    case Kind::Dimension: readDimension(p, e); break;
    case Kind::LineFamily: readLineFamily(p, e, keyword); break;
    case Kind::Hatch: readHatch(p, e); break;
    case Kind::Wipeout: readWipeout(p, e); break;
    case Kind::Solid: readSolidPoint(p, e, true); break;
    case Kind::Point: readSolidPoint(p, e, false); break;
    case Kind::Spline: readSpline(p, e); break;
    case Kind::Arc: readArcCircle(p, e, false); break;
    case Kind::Circle: readArcCircle(p, e, true); break;
    case Kind::Ellipse: readEllipse(p, e); break;
    case Kind::Text: readText(p, e, TextKind::Text); break;
    case Kind::MText: readText(p, e, TextKind::MText); break;
    case Kind::Attrib: readText(p, e, TextKind::Attrib); break;
    case Kind::Insert: readInsert(p, e); break;
    case Kind::Unknown: break;
    }
    const GeometryBuild &g = e.geom;
    r.anzp = static_cast<int32_t>(g.ps.size());
    r.anzs = static_cast<int32_t>(g.snap.size());
    // A pattern alone, without outline or snap point, has nothing to hang on: it is not kept.
    if (!g.ps.empty() || !g.snap.empty())
        r.geom = document::EntityGeometry::make(g.ps, g.snap, g.pattern, g.far, g.widths);
    if (g.linesLost) r.readIssues |= document::kIssueLinesLost;
    extra.maxHandle = e.maxHandle;
    extra.maxViewId = e.maxViewId;
    extra.widthSet = p.currentWidth != widthIn || e.widthGiven;
    extra.widthOut = p.currentWidth;
    newPolys.push_back(std::move(r));
}

void PassRunner::dispatch() {
    const std::string_view keyword = p.value;
    const DispatchEntry *entry = entryOf(keyword);
    if (!entry) {
        skipEntity();
        return;
    }
    const Kind kind = entry->kind;
    Reader::Cache::Extra extra;
    if (!newCache) {
        readEntity(*entry, extra);
        ++read;
        return;
    }
    // Find the entity's extent exactly as the frame will, and key it by its text and context.
    const int64_t first = p.codeLine();
    const bool polyline = kind == Kind::Polyline;
    int64_t q = p.pos, lastValue = first + 1;
    int lastCode = 0;
    std::string_view lastValueText = keyword;
    bool ranOut = true;
    while (q + 1 < p.n) {
        lastCode = parseGroupCode(document::trimLine(p.lines[static_cast<std::size_t>(q)]));
        lastValueText = document::trimLine(p.lines[static_cast<std::size_t>(q + 1)]);
        q += 2;
        bool ends = lastCode == 0;
        if (polyline && ends) ends = lastValueText != "VERTEX" && lastValueText != "SEQEND";
        if (ends) {
            ranOut = false;
            break;
        }
        lastValue = q - 1;
        if (q + 1 >= p.n) break;
    }
    uint64_t ctx = static_cast<uint64_t>(kind) * 0x9e3779b97f4a7c15ull;
    if (p.inBlock) {
        ctx = mix(ctx + 1, 0xd6e8feb86659fd93ull);
        ctx = mix(ctx ^ std::hash<std::string_view>{}(p.blockName), 0x9e3779b97f4a7c15ull);
        ctx = mix(ctx ^ static_cast<uint32_t>(p.blockOwner), 0xc2b2ae3d27d4eb4full);
        ctx = hashDouble(ctx, p.blockBaseX);
        ctx = hashDouble(ctx, p.blockBaseY);
        ctx = hashDouble(ctx, p.blockBaseZ);
    }
    if (usesWidthState(kind)) ctx = hashDouble(ctx, p.currentWidth);
    const Reader::Cache::Key key{hashLines(p.lines, first, lastValue + 1, 0x51ed270b27f0a3c5ull), ctx,
                                 static_cast<uint32_t>(lastValue + 1 - first), ranOut};

    if (oldCache) {
        const int64_t at = oldCache->find(key);
        if (at >= 0) {
            const tpoly &old = oldPolys[static_cast<std::size_t>(at)];
            if (old.anzp <= p.verticesLeft) {
                oldCache->cursor = static_cast<std::size_t>(at) + 1;
                const Reader::Cache::Extra &ox = oldCache->extras[static_cast<std::size_t>(at)];
                tpoly r = old;
                shiftLines(r, static_cast<int32_t>(first) - old.linefrom);
                r.locked = r.selected = r.massselected = false;
                p.verticesLeft -= r.anzp;
                p.raiseMaxHandle(ox.maxHandle);
                if (ox.maxViewId > p.d.maxviewportid) p.d.maxviewportid = ox.maxViewId;
                if (ox.widthSet) p.currentWidth = ox.widthOut;
                p.pos = q;
                p.code = lastCode;
                p.value = lastValueText;
                p.reuse = true;
                newCache->keys.push_back(key);
                newCache->extras.push_back(ox);
                newPolys.push_back(std::move(r));
                ++reused;
                return;
            }
        }
    }
    readEntity(*entry, extra);
    newCache->keys.push_back(key);
    newCache->extras.push_back(extra);
    ++read;
}

void PassRunner::run() {
    document::Drawing &d = p.d;
    while (p.pos + 1 < p.n) {
        if (!p.reuse) p.readGroup();
        p.reuse = false;
        const int code = p.code;
        const std::string_view value = p.value;

        // 1. ENDSEC closes the entities: new entities go before it.
        if (code == 0 && value == "ENDSEC") {
            if (p.inEntities && d.insertlinepos == -1) d.insertlinepos = p.codeLine();
            p.inTables = p.inBlocks = p.inBlock = p.inEntities = false;
        }
        // 2. Header variables.
        if (code == 9) {
            p.handleSeedExpected = value == "$HANDSEED";
            p.versionExpected = value == "$ACADVER";
            p.unitsExpected = value == "$INSUNITS";
            p.measurementExpected = value == "$MEASUREMENT";
        }
        // The drawing's unit, as far as it says one.
        if (p.unitsExpected && code == 70) {
            p.unitsExpected = false;
            toInteger(value, d.insunits);
        }
        if (p.measurementExpected && code == 70) {
            p.measurementExpected = false;
            toInteger(value, d.measurement);
        }
        // 3.
        if (p.handleSeedExpected && code == 5) {
            d.handleseedpos = p.valueLine();
            p.handleSeedExpected = false;
            int32_t h;
            if (toHandle(value, h) && h - 1 > d.maxhandle) d.maxhandle = h - 1;
        }
        // 4.
        if (p.versionExpected && code == 1) {
            p.versionExpected = false;
            int32_t v;
            if (value.size() > 2 && toInteger(value.substr(2), v)) d.cadver = v;
        }
        // The file's end as written: every section closed, then EOF.
        if (code == 0 && value == "SECTION") sectionOpen = true;
        if (code == 0 && value == "ENDSEC") sectionOpen = false;
        if (code == 0 && value == "EOF") eofSeen = true;
        // 5. Section boundaries.
        if (code == 0 && (value == "SECTION" || value == "ENDSEC")) {
            p.inEntities = p.inBlock = p.inObjects = p.inTables = false;
            if (value == "SECTION") p.sectionNameExpected = true;
        }
        // 6. Section name.
        if (code == 2 && p.sectionNameExpected) {
            p.sectionSeen = true;
            p.inEntities = value == "ENTITIES";
            if (p.inEntities) {
                p.inBlock = false;
                p.handleSeedExpected = false;
            }
            if (value == "BLOCKS") {
                p.inBlocks = true;
            } else if (value == "OBJECTS") {
                p.inObjects = true;
            } else if (value == "TABLES") {
                p.inTables = true;
            } else {
                p.inTables = p.inBlocks = p.inBlock = false;
            }
            p.sectionNameExpected = false;
        }
        // 7.-9. Inner readers; the group that ended them still runs through the steps below.
        if (p.inObjects && p.code == 0 && p.value == "LAYOUT") readLayout();
        if (p.inTables && p.code == 0 && p.value == "TABLE") readTable();
        if (p.inBlocks && p.code == 0 && p.value == "BLOCK") readBlockHeader();
        // 10. Block end.
        if (p.inBlocks && p.code == 0 && p.value == "ENDBLK") {
            if (!d.blocks.empty()) d.blocks.back().linetoinsert = p.codeLine();
            p.inBlock = false;
        }
        // 11. Entity gate.
        if (!(p.inEntities || (p.inBlocks && p.inBlock))) continue;
        // 12. Handles.
        if (p.code == 5) {
            int32_t h;
            if (toHandle(p.value, h)) p.raiseMaxHandle(h);
        }
        // 13. Dispatch.
        if (p.code == 0) dispatch();
    }
}

// Tab order: "Model" first, then by tab order, by exchanges as the drawing window does it.
void orderLayouts(std::vector<document::Tlayout> &layouts) {
    const std::size_t n = layouts.size();
    for (std::size_t i = 0; i + 1 < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j)
            if (layouts[j].order < layouts[i].order || layouts[j].name == "Model")
                std::swap(layouts[i], layouts[j]);
}

} // namespace

Reader::Reader(render::RandomSource *rng) : rng_(rng) {}
Reader::~Reader() = default;

void Reader::forget() { cache_.reset(); }

static void runPass(document::Drawing &d, render::RandomSource *rng, Reader::Cache *oldCache,
                    Reader::Cache *newCache, document::EntityList &spare, int64_t &reused,
                    int64_t &read) {
    // Start of a pass: everything derived is rebuilt; cadver keeps the previous document's value
    // when the file has none.
    d.handleseedpos = -1;
    d.ltypeinsetlinenr = -1;
    d.layerinsertlinenr = -1;
    d.maxviewportid = 2;
    d.plotstylereaded.clear();
    d.skipped.clear();
    d.insertlinepos = -1;
    d.anzlt = d.anzlayer = d.anzpoly = 0;
    d.maxhandle = 0;
    d.insunits = d.measurement = -1;
    d.hasSections = false;
    d.linetype.clear();
    d.layers.clear();
    d.layouts.clear();
    d.blocks.clear();
    d.dimstyles.clear();

    PassRunner runner(d, oldCache, newCache, d.polys);
    runner.p.rng = rng;
    // The records are many: reuse the storage of an earlier read and reserve enough to avoid
    // moving them while the array grows (an entity takes at least a dozen lines in practice;
    // reserved but untouched memory costs nothing).
    runner.newPolys = std::move(spare);
    runner.newPolys.clear();
    runner.newPolys.reserve(std::max<std::size_t>(
        {d.polys.size() + 64, d.dxf.size() / 12, std::size_t{1000}}));
    runner.run();
    d.hasSections = runner.p.sectionSeen;
    d.truncated = d.hasSections && (runner.sectionOpen || !runner.eofSeen);
    spare = std::move(d.polys);
    spare.clear();
    d.polys = std::move(runner.newPolys);
    d.anzpoly = static_cast<int32_t>(d.polys.size());
    reused = runner.reused;
    read = runner.read;

    // End of the pass: the pick lists and the tabs.
    d.lineTypeNames.clear();
    for (const auto &lt : d.linetype) d.lineTypeNames.push_back(lt.name);
    d.layerNames.clear();
    for (const auto &l : d.layers) d.layerNames.push_back(l.name);
    orderLayouts(d.layouts);
    d.tabCaptions.clear();
    for (const auto &l : d.layouts) d.tabCaptions.push_back(l.name);
    if (d.layouts.empty()) d.tabCaptions = {"Model", "Layout1"};
}

void Reader::processdxf(document::Drawing &d) {
    Cache *old = cache_.get();
    if (old && (old->drawing != &d || old->polysData != d.polys.data() ||
                old->polysSize != d.polys.size()))
        old = nullptr;
    auto fresh = std::make_unique<Cache>();
    fresh->keys.reserve(d.polys.size() + 16);
    fresh->extras.reserve(d.polys.size() + 16);
    runPass(d, rng_, old, fresh.get(), spare_, lastReused_, lastRead_);
    fresh->drawing = &d;
    fresh->polysData = d.polys.data();
    fresh->polysSize = d.polys.size();
    cache_ = std::move(fresh);
}

void processdxf(document::Drawing &d, render::RandomSource *rng) {
    int64_t reused = 0, read = 0;
    document::EntityList spare;
    runPass(d, rng, nullptr, nullptr, spare, reused, read);
}

} // namespace quentar::dxf
