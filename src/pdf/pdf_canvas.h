// TPDFCanvas: a small PDF 1.3 writer behind a drawing-canvas interface (text, lines, pictures).
#pragma once

#include "document/dyna_array.h"
#include "pdf/byte_sinks.h"
#include "pdf/font_metrics.h"
#include "pdf/pdf_syntax.h"
#include "pdf/rgb_image.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quentar::pdf {

struct Color {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Color &) const = default;
};

inline constexpr Color kBlack{0, 0, 0};
inline constexpr Color kWhite{255, 255, 255};

enum class PenStyle : std::uint8_t { Solid, Dash, Dot, DashDot, DashDotDot, Clear, InsideFrame };
enum class BrushStyle : std::uint8_t { Solid, Clear };

struct Pen {
    PenStyle style = PenStyle::Solid;
    int width = 1; // page units (1/72 inch)
    Color color = kBlack;
    bool operator==(const Pen &) const = default;
};

struct Brush {
    BrushStyle style = BrushStyle::Solid;
    Color color = kWhite;
};

struct Font {
    std::string name = "Microsoft Sans Serif"; // UTF-8 family name, written as the PDF font name
    int size = 8;                              // points
    std::uint8_t style = 0;                    // kBold | kItalic | kUnderline | kStrikeOut
    Color color = kBlack;
};

// Coordinates are whole page units of 1/72 inch, origin top left, y downwards; page content is
// Flate-compressed, text is written in WinAnsiEncoding with non-embedded TrueType fonts whose
// widths are measured, pictures become baseline JPEGs. The document is built in memory and put
// in place at EndDoc in one atomic step, so a failed export never leaves half a file behind.
// Drawing calls outside BeginDoc ... EndDoc do nothing.
class TPDFCanvas {
public:
    // Measures text in the installed fonts.
    TPDFCanvas();
    // Measures text with the given source (a fixed one makes output independent of the fonts).
    explicit TPDFCanvas(std::shared_ptr<FontMetricsSource> metrics);
    // Ends a document still open, as EndDoc would.
    ~TPDFCanvas();
    TPDFCanvas(const TPDFCanvas &) = delete;
    TPDFCanvas &operator=(const TPDFCanvas &) = delete;

    int PageWidth = 595; // A4 in page units
    int PageHeight = 841;
    Pen pen;
    Brush brush;
    Font font;

    // Starts a document for `fileName` with page 1 open. False, with nothing written, when a
    // document is already open or the file cannot be created there: its folder is missing or
    // takes no new files, or a folder or a write-protected file has the name.
    bool BeginDoc(const std::string &fileName);
    // Starts a document that is kept in memory: EndDoc(bytes) hands it over (for a caller that
    // puts several files in place together).
    bool BeginDocInMemory();
    // Finishes the current page and starts the next of the same size.
    void NewPage();
    // Finishes the document and writes the file. False when no document was open or the file
    // could not be written; an existing file is then left as it was.
    bool EndDoc();
    // Finishes the document and hands its bytes over instead of writing a file. False when no
    // document was open or it is too large to be addressed.
    bool EndDoc(std::string &bytes);

    void MoveTo(int x, int y);
    // Strokes from the pen position to (x, y) with the pen; the pen position moves there.
    void LineTo(int x, int y);
    // Fills with the brush; the right and bottom edge stay outside, as on a screen.
    void FillRect(int x1, int y1, int x2, int y2);
    // Fills with the brush and outlines with the pen.
    void Rectangle(int x1, int y1, int x2, int y2);
    // Text (UTF-8) with the top left of its cell at (x, y), in the current font.
    void TextOut(int x, int y, std::string_view text);
    // Size of the text in the current font, in page units; usable without an open document.
    int TextWidth(std::string_view text);
    int TextHeight(std::string_view text);
    // Places a copy of the bitmap scaled into the box. The source rectangle only has to have a
    // non-zero size; the whole bitmap is placed. An invalid bitmap draws nothing.
    void DrawDIB(int x, int y, int w, int h, const RgbImage &bitmap, int srcX, int srcY, int srcW,
                 int srcH);
    // Places picture `imageNr` (0-based, in the order DrawDIB added them) again; an unknown
    // number draws nothing.
    void DrawDIBOfImageNr(int x, int y, int w, int h, int imageNr);
    // Appends raw content bytes to the current page, unconverted and unchecked.
    void write(std::string_view s);
    void writeln(std::string_view s);

    bool isInCreation() const { return isInCreation_; }
    int pageCount() const { return pageCount_; }
    int imageCount() const { return static_cast<int>(images_.size()); }

private:
    // BeginDoc without the check of the file: page 1 open, `fileName` kept for EndDoc().
    bool startDocument(const std::string &fileName);

    struct ObjectEntry {
        std::uint32_t offset;
        std::uint32_t generation;
        std::uint8_t free;
    };
    struct PageSize {
        std::int32_t width;
        std::int32_t height;
    };
    struct FontEntry {
        std::string name;
        std::uint8_t style;
    };
    struct Picture {
        int width;
        int height;
        std::optional<std::string> jpeg; // nullopt: the picture could not be encoded
    };

    // Document structure (pdf_canvas_document.cpp).
    std::uint64_t offset() const { return counter_->count(); }
    int BeginObject();
    int BeginDictObject();
    void EndDictObject();
    void BeginPageStream();
    void EndPageStream();
    void writeFonts();
    void writePageTree();
    void writeCatalog();
    void writeImages();
    void writeXrefAndTrailer();
    void closeDocument();

    // Graphics state (pdf_canvas.cpp).
    void ApplyPen();
    void ApplyBrush();
    void ApplyFont();
    void writeFill(Color color);
    int FontIndex(const std::string &name, std::uint8_t style);
    const FontMetrics &metricsFor(const std::string &name, std::uint8_t style);
    void placePicture(int x, int y, int w, int h, int imageNr);

    std::shared_ptr<FontMetricsSource> metricsSource_;
    std::map<std::pair<std::string, int>, FontMetrics> metricsCache_;

    document::TypedDynaArray<ObjectEntry> objs_; // entry i is object i
    document::TypedDynaArray<PageSize> pageProps_;
    std::vector<FontEntry> fontList_; // a font's number is its 1-based position
    std::vector<Picture> images_;     // a picture's number is its 0-based position

    // State as written into the current page's content; reset with every page.
    std::optional<Pen> writtenPen_;
    std::optional<Color> writtenFill_;
    int writtenFontNr_ = 0; // 0: no font selected yet
    int writtenFontSize_ = 0;
    bool noline_ = false; // the pen draws nothing
    bool nofill_ = false; // the brush fills nothing
    int penX_ = 0, penY_ = 0;

    int procSetObjNr_ = 0;
    int firstContentObjNr_ = 0;
    int fontObjNr_ = 0;
    int pageTreeObjNr_ = 0;
    int rootObjNr_ = 0;
    int pageCount_ = 0;
    std::uint64_t streamStart_ = 0;

    bool isInCreation_ = false;
    std::string fileName_;
    std::unique_ptr<StringSink> file_;
    std::unique_ptr<CountingSink> counter_; // in front of file_: its count is the file offset
    std::unique_ptr<ZlibSink> stream_;      // the open page's content, in front of counter_
};

} // namespace quentar::pdf
