// The picture of the entities an edit tool or a drag works on, as the drawing shows them (blocks,
// texts and dimensions included), kept so that the preview draws it through the operation's map
// on every pointer move without walking the drawing again.
#pragma once

#include "document/drawing.h"
#include "editor/transformations_geometry.h"
#include "geometry/curves.h"
#include "render/canvas.h"
#include "render/view_transform.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quentar::editor {

class PreviewPainter;

class SelectionPicture {
public:
    // Beyond this many points a selection follows the pointer as its box alone: a preview must
    // keep up with the pointer.
    static constexpr std::size_t kMaxPoints = 400000;

    // Draws `entities` of tab `tab` as `map` would leave them. The picture is taken at the first
    // call and again when the read of the drawing, the set or the view has changed.
    void draw(PreviewPainter &painter, const document::Drawing &d, uint64_t read, int tab,
              const std::vector<std::size_t> &entities, const PlaneMap &map);

private:
    // What was taken, drawing units: strokes and outlines of fills, marks of a fixed pixel size
    // (points), texts (their placement in drawing units).
    struct Figure {
        std::vector<render::Point3> points;
        bool closed = false;
    };
    struct Mark {
        render::Point3 at;
        int width = 0, height = 0; // pixels
    };
    struct Text {
        std::string text;
        double sizePx = 0;
        render::Transform world; // the text's layout space to drawing units
    };
    friend class PictureRecorder;
    void take(const document::Drawing &d, int tab, const std::vector<std::size_t> &entities,
              const render::ViewTransform &view, render::Canvas &fonts);

    bool taken_ = false;
    uint64_t read_ = 0;
    int tab_ = 0;
    std::vector<std::size_t> entities_;
    render::ViewTransform view_;

    std::vector<Figure> figures_;
    std::vector<Mark> marks_;
    std::vector<Text> texts_;
    std::size_t points_ = 0;
    bool boxOnly_ = false; // the picture was too large to keep: only its box is drawn
    double minx_ = 0, miny_ = 0, maxx_ = 0, maxy_ = 0; // the box of everything drawn
    bool empty_ = true;
};

} // namespace quentar::editor
