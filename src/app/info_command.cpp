// quentar info / resave: what the reader makes of a drawing, and a pass-through save.
#include "app/commands.h"
#include "app/exit_codes.h"
#include "app/json_writer.h"
#include "document/dxf_file.h"
#include "document/safe_file.h"
#include "document/text_codec.h"
#include "dxf/reader.h"
#include "geometry/placement.h"

#include <cstdio>
#include <map>

namespace quentar::app {

using document::decodeForDisplay;

namespace {

std::string_view keywordOf(const document::Drawing &d, const document::tpoly &p) {
    const auto line = static_cast<std::size_t>(p.linefrom + 1);
    return line < d.dxf.size() ? document::trimLine(d.dxf[line]) : std::string_view();
}

} // namespace

int runInfo(const std::vector<std::string> &args) {
    std::string file;
    bool entities = false;
    for (const auto &a : args) {
        if (a == "--entities")
            entities = true;
        else if (!a.empty() && a[0] == '-')
            return refuseArguments("info: unknown option " + a);
        else if (file.empty())
            file = a;
        else
            return refuseArguments("info takes one drawing: " + a + " is one too many");
    }
    if (file.empty()) return refuseArguments("info needs a drawing (FILE.dxf)");
    // The process ends right after printing: the drawing is left to the operating system rather
    // than freeing a hundred thousand vertex lists one by one.
    document::Drawing &d = *new document::Drawing;
    if (const document::LoadResult r = document::loadDxfFile(file, d); !r)
        return fail("cannot open " + file + ": " + document::loadFailureText(r));
    dxf::processdxf(d);

    std::string out;
    JsonWriter j(out);
    j.beginObject();
    j.field("cadver", d.cadver)
        .field("handleseedpos", d.handleseedpos)
        .field("maxhandle", d.maxhandle)
        .field("insertlinepos", d.insertlinepos)
        .field("layerinsertlinenr", d.layerinsertlinenr)
        .field("ltypeinsetlinenr", d.ltypeinsetlinenr)
        .field("maxviewportid", d.maxviewportid)
        .field("plotstylereaded", decodeForDisplay(d.plotstylereaded))
        .field("anzpoly", d.anzpoly)
        .field("anzlayer", d.anzlayer)
        .field("anzlt", d.anzlt)
        .field("truncated", d.truncated);

    std::map<std::string_view, int64_t> counts;
    for (const auto &p : d.polys) ++counts[keywordOf(d, p)];
    j.key("entities").beginObject();
    for (const auto &[k, n] : counts) j.field(decodeForDisplay(k), n);
    j.endObject();

    j.key("layers").beginArray();
    for (const auto &l : d.layers)
        j.beginObject()
            .field("name", decodeForDisplay(l.name))
            .field("colornr", l.colornr)
            .field("flag", l.flag)
            .field("ltname", decodeForDisplay(l.ltname))
            .field("lineweight", l.lineweight)
            .endObject();
    j.endArray();

    j.key("linetypes").beginArray();
    for (const auto &lt : d.linetype) {
        j.beginObject()
            .field("name", decodeForDisplay(lt.name))
            .field("desc", decodeForDisplay(lt.desc));
        j.key("parts").beginArray();
        for (float f : lt.parts) j.value(static_cast<double>(f));
        j.endArray().endObject();
    }
    j.endArray();

    j.key("layouts").beginArray();
    for (const auto &l : d.layouts)
        j.beginObject()
            .field("name", decodeForDisplay(l.name))
            .field("order", l.order)
            .field("layhan", l.layhan)
            .endObject();
    j.endArray();

    j.key("blocks").beginArray();
    for (const auto &b : d.blocks)
        j.beginObject()
            .field("blockname", decodeForDisplay(b.blockname))
            .field("hand", b.hand)
            .field("linetoinsert", b.linetoinsert)
            .endObject();
    j.endArray();

    j.key("tabs").beginArray();
    for (const auto &t : d.tabCaptions) j.value(decodeForDisplay(t));
    j.endArray();

    if (entities) {
        j.key("polys").beginArray();
        for (const auto &p : d.polys) {
            const document::EntityDetail &dt = p.detail();
            j.beginObject()
                .field("keyword", decodeForDisplay(keywordOf(d, p)))
                .field("linefrom", p.linefrom)
                .field("linebis", p.linebis)
                .field("layer", decodeForDisplay(p.layer(d.dxf)))
                .field("han", p.han)
                .field("layhan", p.layhan)
                .field("isclosed", p.isclosed)
                .field("isblock", p.isblock)
                .field("theblockname", decodeForDisplay(dt.theblockname))
                .field("ispaperspace", p.ispaperspace)
                .field("anzp", p.anzp)
                .field("anzs", p.anzs);
            if (p.readIssues) j.field("readIssues", static_cast<int32_t>(p.readIssues));
            // The vertices below are in the world: where an entity is given in its object
            // system, or a block is placed by more than a translation, it says how.
            if (!geometry::isDefaultExtrusion({dt.extx, dt.exty, dt.extz})) {
                j.key("extrusion").beginArray().value(dt.extx).value(dt.exty).value(dt.extz);
                j.endArray();
            }
            if (p.kind == document::EntityKind::Insert) {
                j.key("scale").beginArray();
                j.value(dt.insscalex).value(dt.insscaley).value(dt.insscalez).endArray();
                j.field("rotation", dt.rotation)
                    .field("columns", dt.inscols)
                    .field("rows", dt.insrows);
                j.key("spacing").beginArray().value(dt.inscolspacing).value(dt.insrowspacing);
                j.endArray();
            }
            j.key("vertices").beginArray();
            for (int i = 0; i < p.anzp; ++i) {
                const auto &v = p.p(i);
                j.beginObject()
                    .field("x", v.x)
                    .field("y", v.y)
                    .field("z", v.z)
                    .field("linex", p.absLine(v.linex))
                    .field("liney", p.absLine(p.geom->liney(v)))
                    .field("linez", p.absLine(p.geom->linez(v)))
                    .field("mode", static_cast<int32_t>(v.mode))
                    .field("donotdraw", v.donotdraw)
                    .field("moveonly", v.moveonly)
                    .endObject();
            }
            j.endArray().endObject();
            // Keep memory flat on big drawings: flush as we go.
            if (out.size() > (1u << 20)) {
                std::fwrite(out.data(), 1, out.size(), stdout);
                out.clear();
            }
        }
        j.endArray();
    }
    j.endObject();
    out.push_back('\n');
    std::fwrite(out.data(), 1, out.size(), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return fail("cannot write the standard output", kNotWritten);
    return kDone;
}

int runResave(const std::vector<std::string> &args) {
    if (args.size() != 2)
        return refuseArguments(
            "resave takes a drawing and the file to save it as (IN.dxf OUT.dxf)");
    if (args[1].empty()) return refuseArguments("resave needs a file name to save as");
    if (document::isSameFile(args[1], args[0]))
        return fail(args[1] + " is the drawing itself; save it under another name");
    document::Drawing d;
    if (const document::LoadResult r = document::loadDxfFile(args[0], d); !r)
        return fail("cannot open " + args[0] + ": " + document::loadFailureText(r));
    // Opening reads the drawing as the drawing window does; the lines themselves are written
    // back unchanged.
    dxf::processdxf(d);
    if (int error = 0; !document::saveDxfLines(args[1], d, &error))
        return fail("cannot write " + args[1] + ": " + document::writeErrorText(error),
                    kNotWritten);
    return kDone;
}

} // namespace quentar::app
