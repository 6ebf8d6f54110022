// Readers of ELLIPSE and SPLINE: the curve is sampled once here, construction points kept hidden.
#include "dxf/pass.h"
#include "geometry/spline_sampling.h"

#include <cmath>
#include <vector>

namespace quentar::dxf {

void readEllipse(Pass &p, EntityBuild &e) {
    e.rec.isellipse = true;
    document::EntityDetail &dt = e.rec.detailForWrite();
    e.rec.needext210 = e.rec.needext220 = e.rec.needext230 = true;
    double start = 0, end = 2 * M_PI;
    double ax = 0, ay = 0, az = 0;
    int32_t l10 = 0, l20 = 0, l30 = 0, l11 = 0, l21 = 0, l31 = 0;
    readEntityGroups(p, e, {}, false, [&](int c, std::string_view v) {
        double x;
        switch (c) {
        case 10:
            if (e.coordinate(v, x)) {
                e.rec.cx = x;
                l10 = p.valueLine();
                e.addSnap(x);
            }
            break;
        case 20:
            if (e.coordinate(v, x)) {
                e.rec.cy = x;
                l20 = p.valueLine();
                if (!e.geom.snap.empty()) e.geom.snap.back().y = x;
            }
            break;
        case 30:
            if (e.coordinate(v, x)) {
                e.rec.cz = x;
                l30 = p.valueLine();
                if (!e.geom.snap.empty()) e.geom.snap.back().z = x;
            }
            break;
        case 11:
            if (e.coordinate(v, ax)) l11 = p.valueLine();
            break;
        case 21:
            if (e.coordinate(v, ay)) l21 = p.valueLine();
            break;
        case 31:
            if (e.coordinate(v, az)) l31 = p.valueLine();
            break;
        case 40:
            if (toReal(v, e.rec.radius)) e.rec.radiuslinenr = p.valueLine();
            break;
        case 41:
            if (toReal(v, start)) e.rec.winkel1linenr = p.valueLine();
            break;
        case 42:
            if (toReal(v, end)) e.rec.winkel2linenr = p.valueLine();
            break;
        case 210:
            e.rec.needext210 = false;
            break;
        case 220:
            e.rec.needext220 = false;
            break;
        case 230:
            if (toReal(v, dt.ext230)) e.rec.needext230 = false;
            break;
        default:
            break;
        }
    });
    if (end <= start) end += 2 * M_PI;
    const double a = std::sqrt(ax * ax + ay * ay + az * az);
    dt.radius1 = a;
    dt.radius2 = a * e.rec.radius;
    dt.radius3 = std::atan2(ay, ax);
    const bool mirrored = dt.ext230 < 0;
    const double cx = e.rec.cx, cy = e.rec.cy, cz = e.rec.cz;
    if (!e.reserveFor(p, 3 + render::kCurveSamples)) return;
    auto rel = [&](int32_t line) { return line ? e.rel(line) : 0; };
    auto &ps = e.geom.ps;
    ps.reserve(3 + render::kCurveSamples);
    Tmypoi centre;
    centre.x = cx;
    centre.y = cy;
    centre.z = cz;
    centre.linex = rel(l10);
    e.geom.setLines(centre, rel(l20), rel(l30));
    centre.donotdraw = true;
    ps.push_back(centre);
    Tmypoi axisEnd;
    axisEnd.x = cx + ax;
    axisEnd.y = cy + ay;
    axisEnd.z = cz + az;
    axisEnd.linex = rel(l11);
    e.geom.setLines(axisEnd, rel(l21), rel(l31));
    axisEnd.donotdraw = true;
    ps.push_back(axisEnd);
    const render::Point3 m = render::ellipsePoint(cx, cy, cz, a, dt.radius2, dt.radius3,
                                                  M_PI / 2, mirrored);
    Tmypoi minor;
    minor.x = m.x;
    minor.y = m.y;
    minor.z = cz;
    minor.linex = rel(e.rec.radiuslinenr);
    minor.mode = 2;
    minor.donotdraw = true;
    ps.push_back(minor);
    render::Point3 pts[render::kCurveSamples];
    render::sampleEllipse(cx, cy, cz, a, dt.radius2, dt.radius3, start, end, mirrored, pts);
    // The ellipse is a unit circle carried by its axes, and so is the area its chords leave out.
    const double unitCurveArea = render::arcChordArea(1, end - start, render::kCurveSamples - 1);
    e.rec.curvearea = unitCurveArea * a * dt.radius2 * (mirrored ? -1 : 1);
    for (const auto &q : pts) {
        Tmypoi &v = ps.emplace_back();
        v.x = q.x;
        v.y = q.y;
        v.z = cz;
        v.curve = true;
    }
    // An ellipse in a plane tilted against the world's xy plane: its minor axis is the extrusion
    // crossed with the major axis, and what is measured is its projection into the xy plane.
    const geometry::Vec3 n = e.extrusion;
    if ((n.x != 0 || n.y != 0) && !geometry::isDefaultExtrusion(n)) {
        const double nl = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
        double mx = (n.y * az - n.z * ay) / nl, my = (n.z * ax - n.x * az) / nl,
               mz = (n.x * ay - n.y * ax) / nl;
        const double ml = std::sqrt(mx * mx + my * my + mz * mz);
        if (ml > 0) {
            const double k = dt.radius2 / ml;
            mx *= k;
            my *= k;
            mz *= k;
        }
        ps[2].x = cx + mx;
        ps[2].y = cy + my;
        ps[2].z = cz + mz;
        e.rec.curvearea = unitCurveArea * (ax * my - ay * mx);
        for (int i = 0; i < render::kCurveSamples; ++i) {
            const double t = start + (end - start) * i / (render::kCurveSamples - 1);
            const double c = std::cos(t), s = std::sin(t);
            Tmypoi &v = ps[static_cast<std::size_t>(3 + i)];
            v.x = cx + c * ax + s * mx;
            v.y = cy + c * ay + s * my;
            v.z = cz + c * az + s * mz;
        }
    }
}

namespace {

// The reading warnings of what became of a spline's geometry.
uint16_t issuesOf(const render::SplineSampling &r) {
    uint16_t issues = 0;
    switch (r.shape) {
    case render::SplineShape::Curve: break;
    case render::SplineShape::ControlPolygon: issues |= document::kIssueSplineControlPolygon; break;
    case render::SplineShape::Unsupported: issues |= document::kIssueSplineUnsupported; break;
    case render::SplineShape::TooFewPoints: issues |= document::kIssueSplineTooFewPoints; break;
    }
    if (r.weightsIgnored) issues |= document::kIssueAbsurdValue;
    if (r.cut) issues |= document::kIssueVerticesDropped;
    return issues;
}

} // namespace

void readSpline(Pass &p, EntityBuild &e) {
    render::SplineData spline;
    std::vector<Tmypoi> control;
    std::vector<render::Point3> fit;
    e.rec.isclosed = false;
    readEntityGroups(p, e, {}, false, [&](int c, std::string_view v) {
        double x;
        switch (c) {
        case 71:
            toInteger(v, spline.degree);
            break;
        case 40:
            if (toReal(v, x)) spline.knots.push_back(x);
            break;
        case 41:
            if (toReal(v, x)) spline.weights.push_back(x);
            break;
        case 10:
            if (e.coordinate(v, x)) {
                Tmypoi &cp = control.emplace_back();
                cp.x = x;
                cp.linex = e.rel(p.valueLine());
                cp.donotdraw = true;
            }
            break;
        case 20:
            if (!control.empty() && e.coordinate(v, x)) {
                control.back().y = x;
                e.geom.setLiney(control.back(), e.rel(p.valueLine()));
            }
            break;
        case 30:
            if (!control.empty() && e.coordinate(v, x)) {
                control.back().z = x;
                e.geom.setLinez(control.back(), e.rel(p.valueLine()));
            }
            break;
        case 11:
            if (e.coordinate(v, x)) fit.push_back({x, 0, 0});
            break;
        case 21:
            if (!fit.empty()) e.coordinate(v, fit.back().y);
            break;
        case 31:
            if (!fit.empty()) e.coordinate(v, fit.back().z);
            break;
        case 70: {
            // Periodic splines are closed ones too, whichever of the two flags a program sets.
            int32_t f;
            if (toInteger(v, f)) e.rec.isclosed = (f & 3) != 0;
            break;
        }
        default:
            break;
        }
    });
    spline.closed = e.rec.isclosed;

    // The control points stay in the file's order behind the samples, hidden, as grips; they
    // come out of the budget first.
    if (p.verticesLeft < static_cast<int64_t>(control.size())) {
        e.rec.readIssues |= document::kIssueVerticesDropped;
        return;
    }
    const int64_t sampleBudget = p.verticesLeft - static_cast<int64_t>(control.size());

    std::vector<render::Point3> samples;
    if (!control.empty()) {
        spline.control.resize(control.size());
        for (std::size_t i = 0; i < control.size(); ++i)
            spline.control[i] = {control[i].x, control[i].y, control[i].z};
        e.rec.readIssues |= issuesOf(render::sampleSplineCurve(spline, sampleBudget, samples));
    } else if (!fit.empty()) {
        // Fitted splines are cubic. Below four fit points the fit has no knot domain: the fit
        // points are joined straight, which for two of them is the curve itself.
        spline.degree = 3;
        spline.knots.clear();
        spline.weights.clear();
        if (fit.size() >= 4 &&
            fit.size() <= static_cast<std::size_t>(render::kMaxSplineControlPoints)) {
            render::RandomSource &rng = p.rng ? *p.rng : render::programRandom();
            spline.control = render::fitcontrolpoints(fit, 1000, {}, rng);
            render::makeknots(spline.knots, static_cast<int>(spline.control.size()) - 1, 4);
        } else {
            spline.control = fit;
        }
        uint16_t issues = issuesOf(render::sampleSplineCurve(spline, sampleBudget, samples));
        if (fit.size() == 2) issues &= static_cast<uint16_t>(~document::kIssueSplineControlPolygon);
        e.rec.readIssues |= issues;
    } else {
        e.rec.readIssues |= document::kIssueSplineTooFewPoints;
    }
    auto &ps = e.geom.ps;
    if (!EntityBuild::reserve(p, static_cast<int64_t>(samples.size() + control.size()))) return;
    ps.reserve(samples.size() + control.size());
    // A spline drawn as its control polygon (or two fit points joined) has straight edges.
    const bool curved = !(e.rec.readIssues & document::kIssueSplineControlPolygon) &&
                        !(control.empty() && fit.size() == 2);
    for (const auto &q : samples) {
        Tmypoi &v = ps.emplace_back();
        v.x = q.x;
        v.y = q.y;
        v.z = q.z;
        v.curve = curved;
    }
    for (const auto &cp : control) ps.push_back(cp);
}

} // namespace quentar::dxf
