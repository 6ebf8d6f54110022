// The quotation as a PDF file: A4, the preview picture at the top right, the lines laid out below.
#pragma once

#include "costing/report.h"
#include "pdf/pdf_canvas.h"
#include "pdf/rgb_image.h"

#include <string>
#include <vector>

namespace quentar::costing {

// SaveAsPDFBtnClick without the dialog. False when the file cannot be created or written.
bool exportReportPdf(const std::vector<ReportLine> &lines, const std::string &path,
                     const pdf::RgbImage *picture, pdf::TPDFCanvas &canvas);

} // namespace quentar::costing
