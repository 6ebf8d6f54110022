// The zlib sink: streaming Deflate in the zlib format, as FlateDecode expects it.
#include "pdf/byte_sinks.h"

#include <algorithm>
#include <new>
#include <zlib.h>

namespace quentar::pdf {

struct ZlibSink::Stream {
    z_stream z{};
    unsigned char out[1 << 16];
};

ZlibSink::ZlibSink(ByteSink &next) : stream_(std::make_unique<Stream>()), next_(next) {
    if (deflateInit(&stream_->z, Z_DEFAULT_COMPRESSION) != Z_OK) throw std::bad_alloc();
}

ZlibSink::~ZlibSink() { deflateEnd(&stream_->z); }

void ZlibSink::pump(int flush) {
    z_stream &z = stream_->z;
    int status = Z_OK;
    do {
        z.next_out = stream_->out;
        z.avail_out = sizeof stream_->out;
        status = deflate(&z, flush);
        const std::size_t produced = sizeof stream_->out - z.avail_out;
        if (produced > 0) {
            next_.write({reinterpret_cast<const char *>(stream_->out), produced});
            written_ += produced;
        }
        // Deflate only stops short of filling the buffer once it has taken all the input (or,
        // finishing, once the stream end is out).
    } while (z.avail_out == 0 && status != Z_STREAM_END);
}

void ZlibSink::write(std::string_view bytes) {
    if (finished_) return;
    z_stream &z = stream_->z;
    while (!bytes.empty()) {
        // avail_in is 32 bits wide; larger writes go in slices.
        const std::size_t slice = std::min<std::size_t>(bytes.size(), 1u << 30);
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.data()));
        z.avail_in = static_cast<uInt>(slice);
        pump(Z_NO_FLUSH);
        bytes.remove_prefix(slice);
    }
}

std::uint64_t ZlibSink::finish() {
    if (!finished_) {
        stream_->z.next_in = nullptr;
        stream_->z.avail_in = 0;
        pump(Z_FINISH);
        finished_ = true;
    }
    return written_;
}

} // namespace quentar::pdf
