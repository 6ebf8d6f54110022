// The headless subcommands of the quentar program.
#pragma once

#include "document/drawing.h"
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

} // namespace quentar::app
