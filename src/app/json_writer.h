// A small streaming JSON writer for the headless subcommands (locale-free numbers).
#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quentar::app {

class JsonWriter {
public:
    explicit JsonWriter(std::string &out) : out_(out) {}

    JsonWriter &beginObject() { return open('{'); }
    JsonWriter &endObject() { return close('}'); }
    JsonWriter &beginArray() { return open('['); }
    JsonWriter &endArray() { return close(']'); }

    JsonWriter &key(std::string_view k) {
        separate();
        string(k);
        out_.push_back(':');
        afterKey_ = true;
        return *this;
    }
    JsonWriter &value(std::string_view s) {
        separate();
        string(s);
        return *this;
    }
    JsonWriter &value(const char *s) { return value(std::string_view(s)); }
    JsonWriter &value(bool b) {
        separate();
        out_ += b ? "true" : "false";
        return *this;
    }
    JsonWriter &value(int64_t v) {
        separate();
        char buf[24];
        auto r = std::to_chars(buf, buf + sizeof buf, v);
        out_.append(buf, r.ec == std::errc() ? r.ptr : buf);
        return *this;
    }
    JsonWriter &value(int32_t v) { return value(static_cast<int64_t>(v)); }
    JsonWriter &value(double v) {
        separate();
        if (!std::isfinite(v)) {
            out_ += "null";
            return *this;
        }
        char buf[32];
        auto r = std::to_chars(buf, buf + sizeof buf, v);
        if (r.ec != std::errc()) {
            out_ += "null";
            return *this;
        }
        out_.append(buf, r.ptr);
        return *this;
    }
    // A number already formatted (e.g. with the calculator's two decimals).
    JsonWriter &raw(std::string_view number) {
        separate();
        out_.append(number);
        return *this;
    }
    template <class T> JsonWriter &field(std::string_view k, const T &v) {
        key(k);
        return value(v);
    }

private:
    JsonWriter &open(char c) {
        separate();
        out_.push_back(c);
        first_.push_back(true);
        return *this;
    }
    JsonWriter &close(char c) {
        out_.push_back(c);
        first_.pop_back();
        return *this;
    }
    void separate() {
        if (afterKey_) {
            afterKey_ = false;
            return;
        }
        if (!first_.empty()) {
            if (!first_.back()) out_.push_back(',');
            first_.back() = false;
        }
    }
    // The text must already be UTF-8 (decode DXF bytes for display first).
    void string(std::string_view s) {
        out_.push_back('"');
        for (char ch : s) {
            const auto c = static_cast<unsigned char>(ch);
            switch (c) {
            case '"': out_ += "\\\""; break;
            case '\\': out_ += "\\\\"; break;
            case '\n': out_ += "\\n"; break;
            case '\r': out_ += "\\r"; break;
            case '\t': out_ += "\\t"; break;
            default:
                if (c < 0x20) {
                    static const char *hex = "0123456789abcdef";
                    out_ += "\\u00";
                    out_.push_back(hex[c >> 4]);
                    out_.push_back(hex[c & 15]);
                } else {
                    out_.push_back(ch);
                }
            }
        }
        out_.push_back('"');
    }

    std::string &out_;
    std::vector<bool> first_;
    bool afterKey_ = false;
};

} // namespace quentar::app
