// Where the writer's bytes go: a sink in memory, a counting sink for file offsets, a zlib sink.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quentar::pdf {

class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void write(std::string_view bytes) = 0;
};

// Collects everything in memory: the file is put in place only once it is complete.
class StringSink : public ByteSink {
public:
    void write(std::string_view bytes) override { bytes_.append(bytes); }
    const std::string &bytes() const { return bytes_; }
    std::string take() { return std::move(bytes_); }

private:
    std::string bytes_;
};

// Passes bytes on and counts them: the count is the file offset the cross-reference table needs.
class CountingSink : public ByteSink {
public:
    explicit CountingSink(ByteSink &next) : next_(next) {}
    void write(std::string_view bytes) override {
        next_.write(bytes);
        count_ += bytes.size();
    }
    std::uint64_t count() const { return count_; }

private:
    ByteSink &next_;
    std::uint64_t count_ = 0;
};

// Deflates everything written (zlib format, default level) into the next sink as it comes, so a
// page's content is never held twice. Throws std::bad_alloc when zlib cannot get its memory.
class ZlibSink : public ByteSink {
public:
    explicit ZlibSink(ByteSink &next);
    ~ZlibSink() override;
    ZlibSink(const ZlibSink &) = delete;
    ZlibSink &operator=(const ZlibSink &) = delete;

    void write(std::string_view bytes) override;
    // Ends the zlib stream; later writes are ignored. Returns the compressed byte count.
    std::uint64_t finish();

private:
    void pump(int flush);

    struct Stream;
    std::unique_ptr<Stream> stream_;
    ByteSink &next_;
    std::uint64_t written_ = 0;
    bool finished_ = false;
};

} // namespace quentar::pdf
