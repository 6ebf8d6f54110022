// The document structure of TPDFCanvas: objects, page streams, fonts, page tree, images, xref.
#include "pdf/pdf_canvas.h"

#include "document/safe_file.h"

#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace quentar::pdf {

namespace {

// Whether a file can be put at `path` now: its folder exists and takes new files, and neither a
// folder nor a write-protected file holds the name. The file itself is only written at the end.
bool canCreateFile(const std::string &path) {
    if (path.empty() || path.back() == '/') return false;
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    struct stat st;
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    if (::access(dir.c_str(), W_OK | X_OK) != 0) return false;
    if (::stat(path.c_str(), &st) == 0)
        return !S_ISDIR(st.st_mode) && ::access(path.c_str(), W_OK) == 0;
    return true;
}

// Font descriptor flags: fixed pitch, serif, nonsymbolic (text in a standard Latin encoding),
// italic.
int descriptorFlags(const FontMetrics &metrics, std::uint8_t style) {
    int flags = 32;
    if (metrics.fixedPitch) flags |= 1;
    if (metrics.serif) flags |= 2;
    if (style & kItalic) flags |= 64;
    return flags;
}

// Thousandths of the em as the font object gives them: truncated towards zero.
std::string unitsText(double thousandths) { return intText(static_cast<long long>(thousandths)); }

std::string randomHexId() {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::random_device device;
    std::string id;
    for (int i = 0; i < 17; ++i) {
        const unsigned byte = device() & 0xFF;
        id += kHex[byte >> 4];
        id += kHex[byte & 0xF];
    }
    return id;
}

} // namespace

int TPDFCanvas::BeginObject() {
    const int nr = static_cast<int>(objs_.count);
    ObjectEntry *entry = objs_.Add();
    // Offsets past 4 GiB are caught at EndDoc before anything is written.
    entry->offset = static_cast<std::uint32_t>(offset());
    entry->generation = 0;
    entry->free = 0;
    writeln(intText(nr) + " 0 obj");
    return nr;
}

int TPDFCanvas::BeginDictObject() {
    const int nr = BeginObject();
    writeln("<<");
    return nr;
}

void TPDFCanvas::EndDictObject() {
    writeln(">>");
    writeln("endobj");
}

bool TPDFCanvas::BeginDoc(const std::string &fileName) {
    if (isInCreation_ || !canCreateFile(fileName)) return false;
    return startDocument(fileName);
}

bool TPDFCanvas::BeginDocInMemory() {
    if (isInCreation_) return false;
    return startDocument(std::string());
}

bool TPDFCanvas::startDocument(const std::string &fileName) {
    fileName_ = fileName;
    file_ = std::make_unique<StringSink>();
    counter_ = std::make_unique<CountingSink>(*file_);
    objs_.Clear();
    pageProps_.Clear();
    fontList_.clear();
    images_.clear();
    isInCreation_ = true;

    writeln("%PDF-1.3");
    ObjectEntry *free = objs_.Add();
    free->offset = 0;
    free->generation = 65535;
    free->free = 1;
    procSetObjNr_ = BeginObject();
    writeln("[/PDF /Text /ImageB /ImageC /ImageI]");
    writeln("endobj");
    pageCount_ = 0;
    BeginPageStream();
    firstContentObjNr_ = procSetObjNr_ + 1;
    return true;
}

void TPDFCanvas::BeginPageStream() {
    ++pageCount_;
    const int nr = BeginObject();
    writeln("<< /Length " + intText(nr + 1) + " 0 R /Filter /FlateDecode >>");
    writeln("stream");
    streamStart_ = offset();
    writtenPen_.reset();
    writtenFill_.reset();
    writtenFontNr_ = 0;
    writtenFontSize_ = 0;
    stream_ = std::make_unique<ZlibSink>(*counter_);
}

void TPDFCanvas::EndPageStream() {
    stream_->finish();
    stream_.reset();
    // The line end before "endstream" is not part of the stream's length.
    const std::uint64_t length = offset() - streamStart_;
    writeln("");
    writeln("endstream");
    writeln("endobj");
    BeginObject();
    writeln(intText(static_cast<long long>(length)));
    writeln("endobj");
    PageSize *page = pageProps_.Add();
    page->width = PageWidth;
    page->height = PageHeight;
}

void TPDFCanvas::NewPage() {
    if (!isInCreation_) return;
    EndPageStream();
    BeginPageStream();
}

void TPDFCanvas::writeFonts() {
    fontObjNr_ = static_cast<int>(objs_.count);
    for (const FontEntry &entry : fontList_) {
        const FontMetrics &m = metricsFor(entry.name, entry.style);
        const std::string name = BaseFontName(entry.name, entry.style);
        BeginDictObject();
        writeln("/Type /Font");
        writeln("/Subtype /TrueType");
        writeln("/Encoding /WinAnsiEncoding");
        writeln("/BaseFont /" + name);
        writeln("/FontDescriptor <</Type/FontDescriptor/FontName/" + name);
        writeln("/FontBBox[" + unitsText(m.bboxLeft) + " " + unitsText(m.bboxBottom) + " " +
                unitsText(m.bboxRight) + " " + unitsText(m.bboxTop) + "]");
        writeln("/Flags " + intText(descriptorFlags(m, entry.style)) + "/Ascent " +
                unitsText(m.ascent) + "/Descent " + unitsText(m.descent) + "/CapHeight " +
                unitsText(m.capHeight) + "/StemV " + unitsText(m.stemV) + "/ItalicAngle " +
                unitsText(m.italicAngle) + ">>");
        writeln("/FirstChar " + intText(kFirstChar));
        writeln("/LastChar " + intText(kLastChar));
        std::string widths = "/Widths [";
        for (const double w : m.widths) widths += unitsText(w) + " ";
        writeln(widths + "]");
        EndDictObject();
    }
}

void TPDFCanvas::writePageTree() {
    pageTreeObjNr_ = BeginDictObject();
    writeln("/Type /Pages");
    writeln("/Count " + intText(pageCount_));
    std::string kids = "/Kids [";
    for (int i = 0; i < pageCount_; ++i)
        kids += intText(pageTreeObjNr_ + 1 + i) + (i + 1 < pageCount_ ? " 0 R " : " 0 R]");
    writeln(kids);
    EndDictObject();

    // Every page lists every font and picture of the document.
    const int firstImageObjNr = pageTreeObjNr_ + pageCount_ + 3;
    std::string resources = "/Resources <</XObject << ";
    for (int k = 0; k < imageCount(); ++k)
        resources += "/Im" + intText(k) + " " + intText(firstImageObjNr + k) + " 0 R";
    resources += " >>";
    std::string fonts = "/Font << ";
    for (int n = 1; n <= static_cast<int>(fontList_.size()); ++n)
        fonts += "/F" + intText(n) + " " + intText(fontObjNr_ + n - 1) + " 0 R";
    fonts += ">> /ProcSet " + intText(procSetObjNr_) + " 0 R";
    for (int i = 0; i < pageCount_; ++i) {
        const PageSize &size = pageProps_.data()[i];
        BeginDictObject();
        writeln("/Type /Page");
        writeln("/Parent " + intText(pageTreeObjNr_) + " 0 R");
        writeln(resources);
        writeln(fonts);
        writeln(">>");
        writeln("/MediaBox [0 0 " + intText(size.width - 1) + " " + intText(size.height - 1) + "]");
        writeln("/Contents " + intText(firstContentObjNr_ + 2 * i) + " 0 R");
        EndDictObject();
    }
}

void TPDFCanvas::writeCatalog() {
    rootObjNr_ = BeginDictObject();
    writeln("/Type /Catalog");
    writeln("/Pages " + intText(pageTreeObjNr_) + " 0 R");
    writeln("/Outlines " + intText(rootObjNr_ + 1) + " 0 R");
    EndDictObject();
    BeginDictObject();
    writeln("/Type /Outlines");
    writeln("/Count 0");
    EndDictObject();
}

void TPDFCanvas::writeImages() {
    for (const Picture &picture : images_) {
        BeginObject();
        if (picture.jpeg) {
            writeln(
                "<< /Type /XObject /Subtype /Image /Width " + intText(picture.width) + " /Height " +
                intText(picture.height) + " /BitsPerComponent 8 /ColorSpace /DeviceRGB /Length " +
                intText(static_cast<long long>(picture.jpeg->size())) + " /Filter /DCTDecode >>");
            writeln("stream");
            write(*picture.jpeg);
        } else {
            // A picture that could not be encoded keeps its number and its reference, so the
            // document stays whole; in its place an empty form draws nothing.
            writeln("<< /Type /XObject /Subtype /Form /BBox [0 0 1 1] /Length 0 >>");
            writeln("stream");
        }
        writeln("endstream");
        writeln("endobj");
    }
}

void TPDFCanvas::writeXrefAndTrailer() {
    const std::uint64_t xrefOffset = offset();
    const int count = static_cast<int>(objs_.count);
    writeln("xref");
    writeln("0 " + intText(count));
    for (int i = 0; i < count; ++i) {
        const ObjectEntry &entry = objs_.data()[i];
        write(xrefEntry(entry.offset, entry.generation, entry.free != 0));
    }
    // Both halves of the ID are the same: the file is new, not a revision of another.
    const std::string id = randomHexId();
    writeln("trailer");
    writeln("<<");
    writeln("/Size " + intText(count));
    writeln("/Root " + intText(rootObjNr_) + " 0 R");
    writeln("/ID [ <" + id + "><" + id + "> ]");
    writeln(">>");
    writeln("startxref");
    writeln(intText(static_cast<long long>(xrefOffset)));
    write("%%EOF");
}

void TPDFCanvas::closeDocument() {
    isInCreation_ = false;
    stream_.reset();
    counter_.reset();
    file_.reset();
    objs_.Clear();
    pageProps_.Clear();
    fontList_.clear();
    images_.clear();
}

bool TPDFCanvas::EndDoc() {
    std::string bytes;
    const std::string fileName = fileName_;
    return EndDoc(bytes) && !fileName.empty() && document::writeFileAtomically(fileName, bytes);
}

bool TPDFCanvas::EndDoc(std::string &bytes) {
    if (!isInCreation_) return false;
    bool ok = false;
    try {
        EndPageStream();
        writeFonts();
        writePageTree();
        writeCatalog();
        writeImages();
        // Object offsets are kept in 32 bits; a larger document could not be addressed.
        ok = offset() <= UINT32_MAX;
        writeXrefAndTrailer();
        if (ok) bytes = file_->bytes();
    } catch (...) {
        closeDocument();
        throw;
    }
    closeDocument();
    return ok;
}

} // namespace quentar::pdf
