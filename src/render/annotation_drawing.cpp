// The render pass's texts and dimensions: formatted texts in their frame, dimensions from the
// picture the file keeps or from their definition points, colours by entity, block and layer.
#include "document/number_text.h"
#include "render/colors.h"
#include "render/render_pass.h"

#include <algorithm>
#include <cmath>

namespace quentar::render {

using document::tpoly;

namespace {

// Arial's (and its metric twins') proportions of the font size: a text's height in a drawing is
// the height of its capitals.
constexpr double kCapHeight = 0.716;
constexpr double kAscent = 0.905;
constexpr double kDescent = 0.212;
// Baseline to baseline of MTEXT lines, in text heights, as CAD programs space them.
constexpr double kMTextLineSpacing = 5.0 / 3.0;
// Texts are measured at this size (pixels) and scaled, so wrapping does not change with the zoom.
constexpr int kMeasurePx = 200;

std::string formatNumber(double v, int decimals, bool dropTrailingZeros) {
    decimals = std::clamp(decimals, 0, 8);
    std::string s = document::fixedText(v, decimals);
    if (dropTrailingZeros && s.find('.') != std::string::npos) {
        while (!s.empty() && s.back() == '0')
            s.pop_back();
        if (!s.empty() && s.back() == '.')
            s.pop_back();
    }
    if (s == "-0")
        s = "0";
    return s;
}

double angleOf(double x, double y) { return std::atan2(y, x); }

} // namespace

Rgb RenderPass::colorOf(const tpoly &e, const document::TLayer *layer, int layerColor,
                        const DrawParams &p) const {
    Rgb c;
    if (const int32_t rgb = e.detail().truecolor;
        rgb >= 0 && !(e.colorispresent && (e.colornr == 0 || e.colornr == 256))) {
        c = trueColor(rgb);
    } else if (e.colorispresent && e.colornr == 0) {
        if (p.hasByBlock)
            return p.byBlock; // already made readable
        c = aciColor(7, p.showmodelforcolor);
    } else if (e.colorispresent && e.colornr > 0 && e.colornr < 256) {
        c = aciColor(e.colornr, p.showmodelforcolor);
    } else if (layer && layer->truecolor >= 0) {
        c = trueColor(layer->truecolor);
    } else {
        c = aciColor(layerColor, p.showmodelforcolor);
    }
    // Printed and previewed colours stay the file's; on screen they must be readable.
    if (p.forprint)
        return c;
    return readableOn(c, p.showmodelforcolor ? kWhite : kBlack);
}

document::DimStyle RenderPass::styleOf(const tpoly &e) const {
    const document::EntityDetail &dt = e.detail();
    document::DimStyle st;
    // Without a table the defaults depend on the drawing's measurement system.
    if (d_.measurement == 1 || d_.insunits == 4 || d_.insunits == 5 || d_.insunits == 6) {
        st.dimasz = 2.5;
        st.dimexo = 0.625;
        st.dimexe = 1.25;
        st.dimtxt = 2.5;
        st.dimgap = 0.625;
    }
    const document::DimStyle *found = nullptr;
    for (const auto &[name, style] : d_.dimstyles)
        if (name == dt.stylename) {
            found = &style;
            break;
        }
    if (!found)
        for (const auto &[name, style] : d_.dimstyles)
            if (name == "Standard" || name == "STANDARD" || name == "ISO-25") {
                found = &style;
                break;
            }
    if (found)
        st = *found;
    for (const auto &[code, value] : dt.dimoverrides)
        st.set(code, value);
    if (!(st.dimscale > 0) || !std::isfinite(st.dimscale))
        st.dimscale = 1;
    return st;
}

void RenderPass::drawDimension(const tpoly &e, const DrawParams &p, const Place &pl, const Pen &pen,
                               Rgb color, const document::TLayer *layer) {
    const document::EntityDetail &dt = e.detail();
    // The picture the file keeps (its anonymous block) is what CAD programs show; it counts as
    // a dimension, and the definition points then are not walked (nor measured) again.
    auto it = dt.dimblock.empty() ? blockEntities_.end() : blockEntities_.find(dt.dimblock);
    bool selfInsert = false;
    for (std::string_view active : insertChain_)
        if (active == dt.dimblock)
            selfInsert = true;
    if (it != blockEntities_.end() && !it->second.empty() && !selfInsert) {
        DrawParams nested = p;
        nested.blocktodraw = dt.dimblock;
        nested.thelayhan = kNoLayout;
        nested.measureAs = static_cast<int>(contours::MeasureKind::Dimension);
        nested.hasByBlock = true;
        nested.byBlock = color;
        nested.blockLayer = layer;
        // The picture is drawn where the dimension is: at the origin of its own placement.
        nested.baseblx = pl.bx;
        nested.basebly = pl.by;
        nested.baseblz = pl.bz;
        if (pl.linear) {
            nested.linear = *pl.linear;
            nested.linearIdentity = false;
        } else {
            nested.linear = {};
            nested.linearIdentity = true;
        }
        const std::size_t saved = current_;
        insertChain_.push_back(dt.dimblock);
        Drawpolys(nested);
        insertChain_.pop_back();
        current_ = saved;
        currentSelected_ = selected_ && selected_(saved);
        return;
    }
    walkPath(e, p, pl, pen, color);
    if (canvas_)
        drawDimensionText(e, p, pl, pen, color);
}

void RenderPass::drawDimensionText(const tpoly &e, const DrawParams &p, const Place &pl,
                                   const Pen &pen, Rgb color) {
    const document::EntityDetail &dt = e.detail();
    const document::DimStyle st = styleOf(e);
    const int type = dt.dimtyp & 7;
    const bool dropZeros = (st.dimzin & 8) != 0;
    // The measured value: as stored, or from the definition points when the file has none.
    double value = dt.actualmeasurement;
    const double dx = dt.cx4 - dt.cx3, dy = dt.cy4 - dt.cy3;
    double along = 0; // direction of the dimension line, radians
    if (type == 0 || type == 1) {
        along = type == 0 ? dt.rotation * M_PI / 180 : angleOf(dx, dy);
        if (!(value >= 0))
            value = std::fabs(dx * std::cos(along) + dy * std::sin(along)) * st.dimlfac;
    } else if (type == 3 || type == 4) {
        if (!(value >= 0))
            value = std::hypot(dt.cx5 - e.cx, dt.cy5 - e.cy) * st.dimlfac;
    } else if (type == 2 || type == 5) {
        if (!(value >= 0)) {
            double a = std::fabs(angleOf(dt.cx4 - dt.cx5, dt.cy4 - dt.cy5) -
                                 angleOf(dt.cx3 - dt.cx5, dt.cy3 - dt.cy5));
            if (a > M_PI)
                a = 2 * M_PI - a;
            value = a;
        }
    } else if (type == 6) {
        if (!(value >= 0))
            value = (dt.dimtyp & 64) ? std::fabs(dt.cx3 - e.cx) : std::fabs(dt.cy3 - e.cy);
        if (dt.dimtextrotate == 90)
            along = M_PI / 2;
    }
    std::string measured;
    if (type == 2 || type == 5) {
        measured = formatNumber(value * 180 / M_PI, std::min(st.dimdec, 2), true) + "\xC2\xB0";
    } else {
        measured = formatNumber(value, st.dimdec, dropZeros);
        if (type == 3)
            measured = "\xC3\x98" + measured; // Ø
        if (type == 4)
            measured = "R" + measured;
    }
    if (!st.dimpost.empty()) {
        const std::size_t at = st.dimpost.find("<>");
        measured = at == std::string::npos
                       ? measured + st.dimpost
                       : st.dimpost.substr(0, at) + measured + st.dimpost.substr(at + 2);
    }
    // An override text: " " hides the text, "<>" stands for the measured value, anything else
    // replaces it.
    std::string text = measured;
    if (!dt.textstr.empty()) {
        if (dt.textstr == " ")
            return;
        text = dt.textstr;
        // An override that writes the prefix itself ("R<>", "%%c<>") gets the bare number.
        const bool ownPrefix = (type == 4 && text.find("R<>") != std::string::npos) ||
                               (type == 3 && (text.find("%%c<>") != std::string::npos ||
                                              text.find("%%C<>") != std::string::npos ||
                                              text.find("\xC3\x98<>") != std::string::npos));
        if (ownPrefix)
            measured = measured.substr(type == 4 ? 1 : 2);
        for (std::size_t at; (at = text.find("<>")) != std::string::npos;)
            text.replace(at, 2, measured);
    }
    if (text.empty())
        return;
    const double height = st.dimtxt * st.dimscale;
    // Readable from below or from the right, as CAD programs turn dimension texts.
    if (dt.dimtextrotate != 0 && type != 6)
        along = dt.dimtextrotate * M_PI / 180;
    if (along > M_PI / 2 + 1e-9)
        along -= M_PI;
    if (along <= -M_PI / 2 + 1e-9)
        along += M_PI;
    TextFrame f;
    double wx, wy, ax, ay, bx, by;
    pl.world(dt.cx1, dt.cy1, dt.cz1, wx, wy);
    pl.world(dt.cx1 + std::cos(along) * height, dt.cy1 + std::sin(along) * height, dt.cz1, ax, ay);
    pl.world(dt.cx1 - std::sin(along) * height, dt.cy1 + std::cos(along) * height, dt.cz1, bx, by);
    f.ox = wx;
    f.oy = wy;
    f.xx = ax - wx;
    f.xy = ay - wy;
    f.yx = bx - wx;
    f.yy = by - wy;
    // The text middle point: the text is centred on it.
    drawTextLines(parseTextContent(text, true, height), f, 1, 2, 0, true, p, pen, color);
}

void RenderPass::drawTextEntity(const tpoly &e, const DrawParams &p, const Place &pl,
                                const Pen &pen, Rgb color) {
    const document::EntityDetail &dt = e.detail();
    if (e.anzp < 1 || !canvas_)
        return;
    const double h = e.radius;
    if (!(h > 0) || !std::isfinite(h))
        return;
    // The text's axes: its rotation in its object system, put into the drawing by the
    // extrusion and by the placement of the block it is in.
    const double a = dt.rotation * M_PI / 180;
    const geometry::Linear3 ocs = geometry::objectToWorld({dt.extx, dt.exty, dt.extz});
    geometry::Vec3 xa = ocs.apply({std::cos(a) * h, std::sin(a) * h, 0});
    geometry::Vec3 ya = ocs.apply({-std::sin(a) * h, std::cos(a) * h, 0});
    if (!e.ismtext) {
        // Width factor stretches along the baseline, obliquing slants the upright strokes.
        const double wf = dt.textwidth > 0 && std::isfinite(dt.textwidth) ? dt.textwidth : 1;
        xa = {xa.x * wf, xa.y * wf, xa.z * wf};
        const double t = std::tan(std::clamp(dt.oblique, -85.0, 85.0) * M_PI / 180);
        ya = {ya.x + xa.x / wf * t, ya.y + xa.y / wf * t, ya.z + xa.z / wf * t};
    }
    double ox, oy;
    if (e.alignAtSecond)
        pl.world(dt.cx1, dt.cy1, dt.cz1, ox, oy);
    else
        pl.world(e.p(0).x, e.p(0).y, e.p(0).z, ox, oy);
    double x0, y0, x1, y1, x2, y2;
    pl.world(0, 0, 0, x0, y0);
    pl.world(xa.x, xa.y, xa.z, x1, y1);
    pl.world(ya.x, ya.y, ya.z, x2, y2);
    TextFrame f{ox, oy, x1 - x0, y1 - y0, x2 - x0, y2 - y0};
    std::vector<TextLine> lines = parseTextContent(dt.textstr, e.ismtext, h);
    int halign = e.halign;
    if (!e.ismtext && (halign == 3 || halign == 5) && e.alignAtSecond) {
        // Aligned and fit: the text runs from its first point to its second.
        double fx, fy;
        pl.world(e.p(0).x, e.p(0).y, e.p(0).z, fx, fy);
        double w = 0;
        int tw = 0, th = 0;
        canvas_->textExtent(lines.front().plain(), kMeasurePx, tw, th);
        w = tw / (kMeasurePx * kCapHeight); // in text heights
        const double len = std::hypot(ox - fx, oy - fy), unit = std::hypot(f.xx, f.xy);
        if (w > 0 && len > 0 && unit > 0) {
            const double s = len / (w * unit);
            const double ux = (ox - fx) / len, uy = (oy - fy) / len;
            f.xx = ux * unit * s;
            f.xy = uy * unit * s;
            if (halign == 3) {
                f.yx *= s;
                f.yy *= s;
            }
        }
        f.ox = fx;
        f.oy = fy;
        halign = 0;
    }
    const double wrap = e.ismtext && dt.textwidth > 0 ? dt.textwidth / h : 0;
    drawTextLines(lines, f, halign, e.valign, wrap, e.ismtext, p, pen, color);
}

void RenderPass::drawTextLines(const std::vector<TextLine> &given, const TextFrame &f, int halign,
                               int valign, double wrap, bool mtext, const DrawParams &p,
                               const Pen &pen, Rgb color) {
    if (!canvas_)
        return;
    const double zf = p.zoomit / 100;
    const double upPx = std::hypot(f.yx, f.yy) * zf; // pixels of one text height
    if (!(upPx > 0) || !std::isfinite(upPx) || upPx > 1e6)
        return;
    // Nothing to read below a tenth of a pixel.
    if (upPx < 0.1)
        return;
    auto widthOf = [&](const std::string &s, double hf) {
        if (s.empty())
            return 0.0;
        int w = 0, h = 0;
        canvas_->textExtent(s, kMeasurePx, w, h);
        return w / (kMeasurePx * kCapHeight) * hf;
    };
    // Wrapping at the reference width, word by word.
    std::vector<TextLine> lines;
    for (const TextLine &line : given) {
        if (!(wrap > 0)) {
            lines.push_back(line);
            continue;
        }
        TextLine cur;
        double curWidth = 0;
        for (const TextRun &run : line.runs) {
            std::size_t start = 0;
            while (start < run.text.size()) {
                std::size_t sp = run.text.find(' ', start);
                const std::size_t end = sp == std::string::npos ? run.text.size() : sp + 1;
                std::string word = run.text.substr(start, end - start);
                std::string trimmed = word;
                while (!trimmed.empty() && trimmed.back() == ' ')
                    trimmed.pop_back();
                const double ww = widthOf(trimmed, run.heightFactor);
                if (curWidth > 0 && curWidth + ww > wrap * 1.001) {
                    lines.push_back(cur);
                    cur = {};
                    curWidth = 0;
                }
                if (cur.runs.empty() || cur.runs.back().heightFactor != run.heightFactor)
                    cur.runs.push_back({{}, run.heightFactor});
                cur.runs.back().text += word;
                curWidth += widthOf(word, run.heightFactor);
                start = end;
            }
        }
        lines.push_back(cur);
    }
    // Baselines from the top of the first line's capitals, in text heights (upwards positive).
    std::vector<double> baselines;
    double y = 0, prevH = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const double hf = lines[i].heightFactor();
        y -= i == 0 ? hf : kMTextLineSpacing * std::max(hf, prevH * 0.0 + hf);
        baselines.push_back(y);
        prevH = hf;
    }
    double shift = 0; // from the anchor to the top of the block
    if (mtext) {
        const double bottom = baselines.empty() ? 0 : baselines.back();
        if (valign == 2)
            shift = -bottom / 2;
        else if (valign <= 1)
            shift = -bottom;
    } else {
        const double hf = lines.empty() ? 1 : lines[0].heightFactor();
        if (valign == 0)
            shift = hf;
        else if (valign == 1)
            shift = hf + kDescent / kCapHeight * hf;
        else if (valign == 2)
            shift = hf / 2;
    }
    const ViewTransform vt = p.view();
    const double px = vt.screenX(f.ox), py = vt.exactScreenY(f.oy);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const TextLine &line = lines[i];
        double lineWidth = 0;
        for (const TextRun &r : line.runs)
            lineWidth += widthOf(r.text, r.heightFactor);
        double x = halign == 1 ? -lineWidth / 2 : halign == 2 ? -lineWidth : 0;
        for (const TextRun &r : line.runs) {
            if (r.text.empty())
                continue;
            const double hf = r.heightFactor;
            const double em = hf / kCapHeight;                      // font size in text heights
            const double top = baselines[i] + shift + kAscent * em; // its box's top
            double size = std::round(em * upPx);
            if (size < 1)
                size = 1;
            const double c = em / size; // text heights per pixel of the font
            Transform t;
            t.m11 = zf * c * f.xx;
            t.m12 = -zf * c * f.xy;
            t.m21 = -zf * c * f.yx;
            t.m22 = zf * c * f.yy;
            t.dx = px + zf * (x * f.xx + top * f.yx);
            t.dy = py - zf * (x * f.xy + top * f.yy);
            if (currentSelected_ && !p.forprint)
                canvas_->strokeText(r.text, size, t, pen);
            else
                canvas_->drawText(r.text, size, t, color);
            x += widthOf(r.text, hf);
        }
    }
}

} // namespace quentar::render
