// The headless subcommands of the quentar program.
#pragma once

#include "document/drawing.h"
#include "app/json_writer.h"
#include "render/measure_drawing.h"
#include "render/render_pass.h"
#include "render/view.h"

#include <QGuiApplication>
#include <QImage>

#include <memory>
#include <string>
#include <vector>

namespace quentar::app {

// Each returns the process exit status; results go to stdout, errors to stderr.
int runInfo(const std::vector<std::string> &args);
int runResave(const std::vector<std::string> &args);
// Needs the process arguments for the Qt application that renders the preview.
int runMeasure(const std::vector<std::string> &args, int &argc, char **argv);
// The calculator's preview of a tab: the 180-pixel picture with the size text under it (180 × 210).
QImage renderPreview(document::Drawing &d, int tab, const render::ViewState &view,
                     render::ContourFigures &figures);
// Fonts and painting need a GUI application; headless runs use the offscreen platform.
void ensureGuiApplication(std::unique_ptr<QGuiApplication> &app, int &argc, char **argv);

int runQuote(const std::vector<std::string> &args, int &argc, char **argv);

// A drawing opened and measured as the calculator takes it over: `error` says why it cannot be
// priced (it cannot be opened, is no drawing, has nothing in the tab); with `withPreview` also
// its preview picture (180 x 210).
struct MeasuredFile {
    std::unique_ptr<document::Drawing> drawing;
    render::DrawingMeasurement m;
    QImage preview;
    std::string error;
};
MeasuredFile measureFile(const std::string &file, const render::MeasureOptions &options,
                         bool withPreview, int &argc, char **argv,
                         std::unique_ptr<QGuiApplication> &app);
// --all-contours (--cut-only), --tab N and --units MODE: true when args[i] is one of them (i moves
// past its value); `error` says what is wrong with a missing or bad value.
bool parseMeasureOption(const std::vector<std::string> &args, std::size_t &i,
                        render::MeasureOptions &o, std::string &error);
// The measurement's analysis, unit and warnings as fields of the open JSON object.
void writeMeasurementJson(JsonWriter &j, const render::DrawingMeasurement &m);
// Of it, what the length is made of and what was left out ("drawn_length", "breakdown").
void writeBreakdownJson(JsonWriter &j, const render::DrawingMeasurement &m);

} // namespace quentar::app
