// quentar quote --sheet: the sheet method's figures beside the blank method, in every output.
#pragma once

#include "app/json_writer.h"
#include "costing/calculator.h"
#include "costing/sheet_costing.h"
#include "costing/sheet_formats.h"
#include "document/drawing.h"
#include "render/measure_drawing.h"

#include <optional>
#include <string>
#include <vector>

namespace quentar::app {

// --sheet WxL|N, --sheet-trim MM, --sheet-gap MM, --sheet-price P, --remnant whole|used,
// --rotation-step DEG.
struct SheetOptions {
    std::string sheet, trim, gap, price, remnant, rotation;

    bool requested() const { return !sheet.empty(); }
    // True when args[i] is one of them (i moves past its value); `ok` false when it has none.
    bool parse(const std::vector<std::string> &args, std::size_t &i, bool &ok);
    // Why the values cannot be taken (one line), before anything is computed.
    std::optional<std::string> check() const;
};

// The sheet formats of a run, read from the data folder once, and the figures per drawing.
class SheetQuoting {
  public:
    explicit SheetQuoting(SheetOptions options) : options_(std::move(options)) {}
    // The figures of the drawing for the calculator's material, quantity and prices; `error` is
    // the refusal (no such format, a part larger than the sheet, nothing closed to nest).
    std::optional<costing::SheetFigures> figures(costing::Calculator &calc,
                                                 const document::Drawing &d,
                                                 const render::DrawingMeasurement &m,
                                                 std::string &error);
    // The rows of the formats file that were refused when it was read (said once per run, when
    // the run succeeds).
    const std::vector<std::string> &fileWarnings() const { return fileWarnings_; }

  private:
    SheetOptions options_;
    std::vector<std::string> fileWarnings_;
    std::optional<costing::SheetFormats> formats_;
};

// Two lines for the text breakdown.
std::string sheetText(const costing::SheetFigures &s, const std::string &currency);
// "sheet": {...} into the open JSON object.
void writeSheetJson(JsonWriter &j, const costing::SheetFigures &s);
// The CSV columns and their cells.
std::vector<std::string> sheetCsvHeader();
std::vector<std::string> sheetCsvCells(const costing::SheetFigures &s);

} // namespace quentar::app
