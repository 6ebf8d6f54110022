// The render canvas on a QPainter: preview pictures now, Qt windows and the printer later.
#pragma once

#include "render/canvas.h"

#include <QFont>
#include <QImage>
#include <QPainter>

#include <array>
#include <string>

namespace quentar::render {

// Draws on whatever device `painter` is active on. Texts need a QGuiApplication (fonts live
// there): headless callers set QT_QPA_PLATFORM=offscreen when no platform is set and create one
// before the first canvas.
//
// Pixel model: integer coordinates are pixel centres, as on the surface the render pass was
// written for, so a 1-pixel line at y = 5 covers exactly row 5 and a path point at (x, y) lies on
// the pixel fillRect(x, y, 1, 1) fills. Qt puts pixel centres at half-integers, so paths are
// shifted by half a pixel; texts are not (their glyphs are hinted to whole pixels).
//
// Any transform already on the painter (a printer's page scale) stays underneath everything. The
// painter's state is saved on construction and restored on destruction.
class QPainterCanvas : public Canvas {
public:
    explicit QPainterCanvas(QPainter &painter);
    ~QPainterCanvas() override;
    QPainterCanvas(const QPainterCanvas &) = delete;
    QPainterCanvas &operator=(const QPainterCanvas &) = delete;

    void strokePath(const Path &path, const Pen &pen) override;
    void fillPath(const Path &path, const Brush &brush) override;
    void fillRect(int x, int y, int width, int height, Rgb color) override;
    void frameRect(int x, int y, int width, int height, Rgb color) override;

    void drawText(std::string_view text, double sizePx, const Transform &world, Rgb color) override;
    void strokeText(std::string_view text, double sizePx, const Transform &world,
                    const Pen &pen) override;
    void textExtent(std::string_view text, int sizePx, int &width, int &height) override;

    // left and top are inclusive, right and bottom exclusive (a Windows RECT): the clip covers
    // right - left by bottom - top pixels.
    void pushClipRect(int left, int top, int right, int bottom) override;
    void popClip() override;

    void drawHandleImage(int index, int x, int y) override;

private:
    const QFont &fontAt(int pixelSize);
    void strokeQPath(const QPainterPath &path, const Pen &pen);

    QPainter &painter_;
    int clipDepth_ = 0;
    QFont font_;
    int fontPx_ = 0;
    std::array<QImage, 3> handles_;
};

// `image` encoded as PNG into `bytes`; false when it cannot be encoded.
bool pngBytes(const QImage &image, std::string &bytes);
// Writes `image` as PNG to `utf8Path` through the atomic writer (document/safe_file.h): the
// file is replaced only once it is complete, and every write is checked. `error`, when given,
// receives why it could not be written (0 when it could not be encoded).
bool savePng(const QImage &image, const std::string &utf8Path, int *error = nullptr);

} // namespace quentar::render
