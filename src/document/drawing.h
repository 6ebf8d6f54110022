// The drawing document: the DXF lines and everything the reader derives from them.
#pragma once

#include "document/line_store.h"
#include "document/records.h"

#include <string>
#include <vector>

namespace quentar::document {

// How the file's text was stored; the lines are written back the same way.
enum class FileEncoding { Bytes, Utf16LE, Utf16BE };

// What the reader derives from `dxf`. Rebuilt from scratch by every read (dxf::processdxf).
struct Drawing {
    LineStore dxf; // the document proper: the file's lines as read

    EntityList polys;                // entities in file order (blocks and ENTITIES interleaved)
    int32_t anzpoly = 0;             // entities in use
    std::vector<TLayer> layers;      // LAYER table entries in file order
    int32_t anzlayer = 0;
    std::vector<TLineType> linetype; // LTYPE table entries in file order
    int32_t anzlt = 0;
    std::vector<Tlayout> layouts;    // LAYOUT objects in tab order ("Model" first)
    std::vector<tblock> blocks;      // block definitions in file order
    // DIMSTYLE table entries by name, in file order.
    std::vector<std::pair<std::string, DimStyle>> dimstyles;

    int32_t cadver = 0;              // DXF version number from $ACADVER (AC1015 -> 1015)
    int32_t insunits = -1;           // $INSUNITS: 0 unitless, 1 inch, 4 mm, ...; -1 when absent
    int32_t measurement = -1;        // $MEASUREMENT: 0 imperial, 1 metric; -1 when absent
    bool hasSections = false;        // the lines hold at least one named SECTION
    // The lines end inside a section or without the closing "0 / EOF": the file was most likely
    // cut off (a transfer or a save that stopped), and what is read is only its first part.
    bool truncated = false;
    int32_t handleseedpos = -1;      // value line of $HANDSEED, -1 if none
    int32_t maxhandle = 0;           // largest handle in use
    int32_t insertlinepos = -1;      // "0" line of the ENDSEC closing ENTITIES, -1 if none
    int32_t layerinsertlinenr = -1;  // "0" line of the LAYER table's ENDTAB, -1 if none
    int32_t ltypeinsetlinenr = -1;   // "0" line of the LTYPE table's ENDTAB, -1 if none
    int32_t maxviewportid = 2;       // largest VIEWPORT id read, at least 2
    std::string plotstylereaded;     // last group 390 of a LAYER entry
    // Entities of kinds the reader does not read (ACIS solids, regions, meshes, proxies, ...):
    // what they are and how many, so that figures without them say so. At most
    // kMaxSkippedKinds names; further kinds count under "other".
    struct SkippedKind {
        std::string name;
        int32_t count = 0;
    };
    static constexpr std::size_t kMaxSkippedKinds = 8;
    std::vector<SkippedKind> skipped;

    // The pick lists and tabs the drawing window shows, as plain data.
    std::vector<std::string> lineTypeNames; // LineCombo items
    std::vector<std::string> layerNames;    // LayerCombo items
    std::vector<std::string> tabCaptions;   // TabControl1 tabs in order

    bool changed = false;   // modifications not yet saved
    std::string afilename;  // full path of the file, empty for a new drawing
    FileEncoding encoding = FileEncoding::Bytes;
};

} // namespace quentar::document
