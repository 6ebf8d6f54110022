// libjpeg behind encodeJpeg: errors come back by longjmp, the bytes go straight into a string.
#include "pdf/jpeg_encoder.h"

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE declared
#include <memory>

#include <jerror.h>
#include <jpeglib.h>

namespace quentar::pdf {

namespace {

// libjpeg's own error handler ends the process; this one jumps back to encodeJpeg instead.
struct ErrorHandler {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void onError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorHandler *>(cinfo->err)->jump, 1);
}

void onMessage(j_common_ptr) {} // warnings would go to stderr

// A destination that appends to a string: no library-owned buffer to free on an error path.
struct StringDestination {
    jpeg_destination_mgr pub;
    std::string *out;
    JOCTET chunk[1 << 16];
};

void initDestination(j_compress_ptr cinfo) {
    auto *dest = reinterpret_cast<StringDestination *>(cinfo->dest);
    dest->pub.next_output_byte = dest->chunk;
    dest->pub.free_in_buffer = sizeof dest->chunk;
}

void flushDestination(j_compress_ptr cinfo, std::size_t bytes) {
    auto *dest = reinterpret_cast<StringDestination *>(cinfo->dest);
    try {
        dest->out->append(reinterpret_cast<const char *>(dest->chunk), bytes);
    } catch (...) {
        // No exception may cross libjpeg's C frames.
        cinfo->err->msg_code = JERR_OUT_OF_MEMORY;
        cinfo->err->error_exit(reinterpret_cast<j_common_ptr>(cinfo));
    }
}

boolean emptyDestination(j_compress_ptr cinfo) {
    flushDestination(cinfo, sizeof reinterpret_cast<StringDestination *>(cinfo->dest)->chunk);
    initDestination(cinfo);
    return TRUE;
}

void termDestination(j_compress_ptr cinfo) {
    auto *dest = reinterpret_cast<StringDestination *>(cinfo->dest);
    flushDestination(cinfo, sizeof dest->chunk - dest->pub.free_in_buffer);
}

// Everything libjpeg touches lives on the heap, so nothing the jump skips over is an automatic
// variable changed after setjmp.
struct Encoder {
    jpeg_compress_struct cinfo{};
    ErrorHandler error{};
    StringDestination destination{};
    std::string out;
};

} // namespace

std::optional<std::string> encodeJpeg(const RgbImage &image, int quality) {
    if (!image.valid()) return std::nullopt;
    std::unique_ptr<Encoder> enc;
    try {
        enc = std::make_unique<Encoder>();
    } catch (const std::bad_alloc &) {
        return std::nullopt;
    }
    jpeg_compress_struct &cinfo = enc->cinfo;
    cinfo.err = jpeg_std_error(&enc->error.pub);
    enc->error.pub.error_exit = onError;
    enc->error.pub.output_message = onMessage;
    if (setjmp(enc->error.jump)) {
        jpeg_destroy_compress(&cinfo);
        return std::nullopt;
    }
    jpeg_create_compress(&cinfo);
    enc->destination.pub.init_destination = initDestination;
    enc->destination.pub.empty_output_buffer = emptyDestination;
    enc->destination.pub.term_destination = termDestination;
    enc->destination.out = &enc->out;
    cinfo.dest = &enc->destination.pub;

    // JPEG_MAX_DIMENSION is checked by jpeg_start_compress; the cast cannot lose a valid size.
    cinfo.image_width = static_cast<JDIMENSION>(image.width);
    cinfo.image_height = static_cast<JDIMENSION>(image.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE); // TRUE: baseline-compatible quantisation tables
    jpeg_start_compress(&cinfo, TRUE);
    const std::size_t stride = static_cast<std::size_t>(image.width) * 3;
    while (cinfo.next_scanline < cinfo.image_height) {
        // libjpeg's row type is not const, but compression only reads it.
        JSAMPROW row = const_cast<JSAMPLE *>(image.rgb.data() + cinfo.next_scanline * stride);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::move(enc->out);
}

} // namespace quentar::pdf
