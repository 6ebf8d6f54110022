// Growing, shrinking and stepping through the record block of TDynaArray.
#include "document/dyna_array.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace quentar::document {

DynaArrayAllocError::DynaArrayAllocError(int errorNumber, std::uint64_t bytes) noexcept
    : errorNumber_(errorNumber), bytes_(bytes) {
    std::snprintf(message_, sizeof message_,
                  "Error %d while trying to allocate %llu bytes of RAM. Not enough memory.",
                  errorNumber, static_cast<unsigned long long>(bytes));
}

TDynaArray::TDynaArray(TDynaArray &&other) noexcept
    : outeraobj(other.outeraobj), aobj(other.aobj), poi(other.poi), count(other.count),
      aobjnr(other.aobjnr), amemsize(other.amemsize), buffersize(other.buffersize),
      size(other.size) {
    other.outeraobj = nullptr;
    other.poi = nullptr;
    other.amemsize = 0;
    other.count = 0;
    other.aobj = nullptr;
    other.aobjnr = -1;
}

TDynaArray &TDynaArray::operator=(TDynaArray &&other) noexcept {
    if (this == &other) return *this;
    Destroy();
    outeraobj = other.outeraobj;
    aobj = other.aobj;
    poi = other.poi;
    count = other.count;
    aobjnr = other.aobjnr;
    amemsize = other.amemsize;
    buffersize = other.buffersize;
    size = other.size;
    other.outeraobj = nullptr;
    other.poi = nullptr;
    other.amemsize = 0;
    other.count = 0;
    other.aobj = nullptr;
    other.aobjnr = -1;
    return *this;
}

void TDynaArray::Create(std::uint32_t recordSize, void **owner) {
    assert(recordSize > 0);
    Destroy();
    outeraobj = owner;
    size = recordSize;
    buffersize = 100;
}

void TDynaArray::Destroy() {
    std::free(poi);
    poi = nullptr;
    amemsize = 0;
    count = 0;
    aobj = nullptr;
    aobjnr = -1;
}

std::uint64_t TDynaArray::RequiredSize(std::uint32_t records) const {
    if (records == 0) return 0;
    const std::uint64_t steps = (records - 1) / buffersize + 1;
    return steps * buffersize * size;
}

void *TDynaArray::allocate(std::uint64_t bytes, int errorNumber) const {
    // amemsize is 32 bits wide, so a larger block could not be described even if it were had.
    if (bytes > UINT32_MAX) throw DynaArrayAllocError(errorNumber, bytes);
    void *block = std::calloc(1, static_cast<std::size_t>(bytes));
    if (!block) throw DynaArrayAllocError(errorNumber, bytes);
    return block;
}

bool TDynaArray::AllocMoreMem() {
    if (count == 0) return false;
    const std::uint64_t required = RequiredSize(count);
    if (required == amemsize) return false;
    void *block = allocate(required, poi ? 2 : 1);
    if (poi) {
        // With one record the old contents are not wanted: the caller is about to zero it.
        if (count != 1) std::memcpy(block, poi, std::min<std::uint64_t>(amemsize, required));
        std::free(poi);
    }
    poi = block;
    amemsize = static_cast<std::uint32_t>(required);
    return true;
}

void TDynaArray::AllocLessMem() {
    if (count == 0) {
        std::free(poi);
        poi = nullptr;
        amemsize = 0;
        return;
    }
    const std::uint64_t required = RequiredSize(count);
    if (required != amemsize) {
        void *block = allocate(required, 3);
        if (poi) std::memcpy(block, poi, std::min<std::uint64_t>(amemsize, required));
        std::free(poi);
        poi = block;
    }
    amemsize = static_cast<std::uint32_t>(required);
}

unsigned char *TDynaArray::record(std::uint32_t index) const {
    return bytes() + static_cast<std::size_t>(index) * size;
}

void TDynaArray::writeOwner() {
    // The owner's variable is usually a T*, not a void*; copying the bytes avoids writing it
    // through a pointer of the wrong type.
    if (outeraobj) std::memcpy(outeraobj, &aobj, sizeof aobj);
}

void TDynaArray::setCurrent(int index) {
    aobjnr = index;
    aobj = record(static_cast<std::uint32_t>(index));
    writeOwner();
}

void TDynaArray::setNoCurrent() {
    aobjnr = -1;
    aobj = nullptr;
    writeOwner();
}

void *TDynaArray::GetObject(int index) {
    assert(index >= 0 && static_cast<std::uint32_t>(index) < count);
    setCurrent(index);
    return aobj;
}

void *TDynaArray::Add() {
    ++count;
    try {
        AllocMoreMem();
    } catch (...) {
        --count;
        throw;
    }
    // Spare room is kept zeroed, so this only matters if an owner wrote past the last record.
    std::memset(record(count - 1), 0, size);
    return GetObject(static_cast<int>(count - 1));
}

void *TDynaArray::Insert(int index) {
    if (index < 0 || static_cast<std::uint32_t>(index) > count) return nullptr;
    ++count;
    try {
        AllocMoreMem();
    } catch (...) {
        --count;
        throw;
    }
    const auto at = static_cast<std::uint32_t>(index);
    std::memmove(record(at + 1), record(at), static_cast<std::size_t>(count - 1 - at) * size);
    std::memset(record(at), 0, size);
    return GetObject(index);
}

void TDynaArray::Delete(int index) {
    if (index < 0 || static_cast<std::uint32_t>(index) >= count) return;
    const auto at = static_cast<std::uint32_t>(index);
    const std::uint32_t remaining = count - 1;
    const std::uint64_t required = RequiredSize(remaining);
    // The smaller block is had before anything moves, so a failure leaves the array as it was.
    void *smaller = nullptr;
    if (remaining > 0 && required != amemsize) smaller = allocate(required, 3);

    std::memmove(record(at), record(at + 1), static_cast<std::size_t>(remaining - at) * size);
    std::memset(record(remaining), 0, size);
    count = remaining;
    if (count == 0) {
        AllocLessMem();
    } else if (smaller) {
        std::memcpy(smaller, poi, std::min<std::uint64_t>(amemsize, required));
        std::free(poi);
        poi = smaller;
        amemsize = static_cast<std::uint32_t>(required);
    }
    setNoCurrent();
}

void TDynaArray::Change(int i, int j) {
    if (i < 0 || j < 0 || static_cast<std::uint32_t>(i) >= count ||
        static_cast<std::uint32_t>(j) >= count)
        return;
    if (i != j) {
        // Swapping through a small stack buffer needs no allocation, so it cannot fail.
        unsigned char tmp[256];
        unsigned char *a = record(static_cast<std::uint32_t>(i));
        unsigned char *b = record(static_cast<std::uint32_t>(j));
        for (std::uint32_t done = 0; done < size;) {
            const std::size_t n = std::min<std::size_t>(sizeof tmp, size - done);
            std::memcpy(tmp, a + done, n);
            std::memcpy(a + done, b + done, n);
            std::memcpy(b + done, tmp, n);
            done += static_cast<std::uint32_t>(n);
        }
    }
    setCurrent(j);
}

void TDynaArray::Clear() {
    count = 0;
    AllocLessMem();
    setNoCurrent();
}

void TDynaArray::First() {
    if (count > 0) setCurrent(0);
}

bool TDynaArray::Next() {
    if (count == 0 || aobjnr < -1 || static_cast<std::int64_t>(aobjnr) >= count - 1LL) return false;
    setCurrent(aobjnr + 1);
    return true;
}

bool TDynaArray::WhileNext() {
    if (count == 0 || aobjnr < 0 || static_cast<std::uint32_t>(aobjnr) >= count) return false;
    aobj = record(static_cast<std::uint32_t>(aobjnr));
    writeOwner();
    ++aobjnr;
    return true;
}

} // namespace quentar::document
