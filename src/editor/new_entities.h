// Writing new entities into the lines: where they go, their handles, their first lines, and
// InsertCode, which inserts them as one undo step.
#pragma once

#include "document/drawing.h"
#include "document/line_edits.h"
#include "geometry/curves.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quentar::editor {

using render::Point3;

// What the drawing window contributes to every new entity.
struct CreationSettings {
    // Layer of new entities; empty means the first entry of the layer list (LayerCombo), or "0"
    // when the drawing has no layers.
    std::string layer;
    // Line type (group 6), colour (62) and line weight (370) of new entities. Unset, nothing is
    // written and the entity takes them from its layer. A line weight is written only for
    // versions that know it (above R12).
    std::string lineType;
    std::optional<int32_t> colorNumber;
    std::optional<int32_t> lineWeight;
    // The shown tab of the drawing window (0: model space).
    int tab = 0;
};

// The layer name new entities get.
std::string layerOfNewEntities(const document::Drawing &d, const CreationSettings &s);

// AddToLayout: where the entities created on a tab go and which layout owns them.
struct Placement {
    int32_t at = -1;         // line before which they are inserted; -1: the drawing has no place
    uint64_t owner = 0;      // block record of the layout ("330"); 0: none written
    bool paperSpace = false; // " 67" "1"
};
Placement AddToLayout(const document::Drawing &d, int tab);

// The largest handle in use anywhere in the lines: the value of every group 5 and 105 (a
// DIMSTYLE's handle), objects and unknown sections included, and the header's seed minus one. The
// reader counts only the handles of the sections it reads, and a file may carry a seed below the
// handles of its objects; new handles start above this so that they never collide.
uint64_t largestHandleInUse(const document::Drawing &d);

// InsertCode: inserts `str` before line `at` and writes the next handle seed (maxhandle + 1)
// into the "$HANDSEED" value line when the drawing has one; returns both changes as one undo step,
// so taking it back restores every line byte for byte (the seed included). Marks the drawing
// changed; the window shows that with SetChanged.
// Until the next read the drawing's insertion lines stay valid: insertlinepos, the ends of the
// LAYER and LTYPE tables, handleseedpos and the blocks' insertion lines move down with the lines
// inserted before them. Entity records are not adjusted: the caller reads the document again.
document::EditBatch InsertCode(document::Drawing &d, int32_t at, std::vector<std::string> str);

// The lines of one entity while it is built. A coordinate that is not finite makes the entity
// unwritable: no reader takes "nan" or "inf". Line breaks inside a value become blanks.
class EntityText {
public:
    void pair(std::string_view code, std::string value);
    void real(std::string_view code, double value);
    void integer(std::string_view code, int64_t value);
    // Groups x0, x0 + 10, x0 + 20 ("  10", "  20", "  30" for x0 = 10).
    void point(int x0, const Point3 &p);

    bool writable() const { return finite_; }
    const std::vector<std::string> &lines() const { return lines_; }
    std::vector<std::string> take() { return std::move(lines_); }

private:
    std::vector<std::string> lines_;
    bool finite_ = true;
};

// The entities of one creation operation: their placement, their handles and their insertion,
// one undo step per entity.
class NewEntities {
public:
    NewEntities(document::Drawing &d, const CreationSettings &s);

    // False when the drawing has nowhere to insert (no ENTITIES section) or no handles left.
    bool possible() const { return placement_.at >= 0 && handlesLeft_; }
    // Above R12: subclass markers, the handle before them.
    bool newer() const { return d_.cadver > 1009; }
    const std::string &layer() const { return layer_; }

    // The next handle; given back when its entity is not inserted.
    std::string nextHandle();

    // The first lines of an entity up to its own data. Newer versions: type, handle, owner,
    // "AcDbEntity", paper-space flag, layer, properties, subclass marker `subclass`. R12: type,
    // `afterType`, paper-space flag, layer, properties; its handle follows with r12Handle() where
    // the entity's R12 form puts it.
    void head(EntityText &e, std::string_view type, std::string_view subclass,
              const std::vector<std::pair<std::string, std::string>> &afterType = {});
    void r12Handle(EntityText &e);

    // Inserts the entity (InsertCode) after the ones inserted before it; nullopt, with its handles
    // given back, when it is not writable.
    std::optional<document::EditBatch> insert(EntityText &&e);

private:
    document::Drawing &d_;
    std::string layer_;
    const CreationSettings &settings_;
    Placement placement_;
    uint64_t lastHandle_ = 0;      // handles given so far
    uint64_t committedHandle_ = 0; // handles of inserted entities
    bool handlesLeft_ = true;
};

} // namespace quentar::editor
