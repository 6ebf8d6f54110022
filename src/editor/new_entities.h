// Planning new entities: where their lines go, their handles, their first lines, and InsertCode,
// which plans their insertion as one undo step. Nothing here changes the drawing.
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
// handles of its objects; new handles start above this so that they never collide. Handles are
// read as 64-bit numbers, as DXF allows them.
uint64_t largestHandleInUse(const document::Drawing &d);

// Where a plan of new lines stands: the lines planned so far are thought inserted. Lets several
// operations of one user action (a line and its arrowhead) plan one after the other.
struct PlanPosition {
    int32_t at = -1;         // where the next entity's lines go
    int64_t seedLine = -1;   // the "$HANDSEED" value line, -1 without one
    std::string seedText;    // its text as the plan leaves it
    uint64_t lastHandle = 0; // the last handle given
};

// InsertCode: plans the insertion of `str` before line `pos.at` and, when the drawing has a
// "$HANDSEED", the next handle seed (pos.lastHandle + 1) in its value line, as one undo step that
// records the lines as they stand, so that document::redoBatch applies it and document::undoBatch
// takes it back byte for byte (the seed included). `pos` moves past the new lines.
document::EditBatch InsertCode(PlanPosition &pos, std::vector<std::string> str);

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
// one undo step per entity, planned against the drawing as it stands (read, unchanged) or after
// the steps another plan left at `after`.
class NewEntities {
public:
  NewEntities(const document::Drawing &d, const CreationSettings &s,
              const PlanPosition *after = nullptr);

  // False when the drawing has nowhere to insert (no ENTITIES section).
  bool possible() const { return pos_.at >= 0; }
  // False once the handles ran out (a drawing using handles up to FFFFFFFFFFFFFFFF).
  bool handlesLeft() const { return handlesLeft_; }
  const document::Drawing &drawing() const { return d_; }
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

  // Plans the entity's insertion (InsertCode) after the ones planned before it; nullopt, with
  // its handles given back, when it is not writable or no handle was left for it.
  std::optional<document::EditBatch> insert(EntityText &&e);
  // Where the plan stands after the entities inserted so far.
  const PlanPosition &position() const { return pos_; }

private:
  const document::Drawing &d_;
  std::string layer_;
  const CreationSettings &settings_;
  Placement placement_;
  PlanPosition pos_;        // at the last inserted entity
  uint64_t lastHandle_ = 0; // handles given so far
  bool handlesLeft_ = true;
};

} // namespace quentar::editor
