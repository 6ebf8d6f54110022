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
// The same document as bytes, for a caller that writes it itself. False when it is too large
// for a PDF file.
bool reportPdfBytes(const std::vector<ReportLine> &lines, const pdf::RgbImage *picture,
                    pdf::TPDFCanvas &canvas, std::string &bytes);

} // namespace quentar::costing
