// A value held behind one pointer, shared between copies until one of them writes to it.
#pragma once

#include <atomic>
#include <cstdint>
#include <utility>

namespace quentar::document {

// Null until written: reading an empty box gives the value's defaults. Copies share the value
// (records are copied whole by every re-read and by the editor) and the first write through a
// shared box gives the writer its own.
template <class T> class CowBox {
public:
    CowBox() = default;
    CowBox(const CowBox &o) : b_(o.b_) {
        if (b_) b_->refs.fetch_add(1, std::memory_order_relaxed);
    }
    CowBox(CowBox &&o) noexcept : b_(std::exchange(o.b_, nullptr)) {}
    CowBox &operator=(CowBox o) noexcept {
        std::swap(b_, o.b_);
        return *this;
    }
    ~CowBox() { release(); }

    bool empty() const { return b_ == nullptr; }
    const T &get() const { return b_ ? b_->value : defaults(); }
    T &write() {
        if (!b_) {
            b_ = new Box;
        } else if (b_->refs.load(std::memory_order_acquire) != 1) {
            Box *own = new Box{b_->value};
            release();
            b_ = own;
        }
        return b_->value;
    }

private:
    struct Box {
        Box() = default;
        explicit Box(const T &v) : value(v) {}
        T value{};
        std::atomic<uint32_t> refs{1};
    };
    static const T &defaults() {
        static const T value{};
        return value;
    }
    void release() {
        if (b_ && b_->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete b_;
        b_ = nullptr;
    }
    Box *b_ = nullptr;
};

} // namespace quentar::document
