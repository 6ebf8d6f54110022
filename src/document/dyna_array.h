// A growable block of fixed-size plain records with a current-record cursor, held in steps of 100.
#pragma once

#include <cstdint>
#include <new>
#include <type_traits>
#include <utility>

namespace quentar::document {

// Thrown when a block for the records cannot be had. The text names the step that failed, as the
// old program reported it: 1 = first block of an empty array, 2 = growing, 3 = shrinking.
class DynaArrayAllocError : public std::bad_alloc {
public:
    DynaArrayAllocError(int errorNumber, std::uint64_t bytes) noexcept;

    const char *what() const noexcept override { return message_; }
    int errorNumber() const noexcept { return errorNumber_; }
    std::uint64_t requestedBytes() const noexcept { return bytes_; }

private:
    // A fixed buffer keeps copying the exception free of allocation, which matters when memory
    // is what ran out.
    char message_[112];
    int errorNumber_;
    std::uint64_t bytes_;
};

// Records are moved with raw memory copies and new records start as all-zero bytes, so only
// trivially copyable types whose all-zero bytes are a valid value may be stored (TypedDynaArray
// checks the first half at compile time).
//
// The fields are public because owners read them directly (`count`, `aobj`, `aobjnr`); only the
// member functions should change them. Every operation that fails throws DynaArrayAllocError
// before anything changes.
class TDynaArray {
public:
    void **outeraobj = nullptr;     // owner's pointer variable that mirrors aobj; may be null
    void *aobj = nullptr;           // current record, null when there is none
    void *poi = nullptr;            // the records back to back; null when nothing is allocated
    std::uint32_t count = 0;        // records in use
    int aobjnr = -1;                // index of the current record, -1 for none
    std::uint32_t amemsize = 0;     // bytes allocated at poi
    std::uint32_t buffersize = 100; // the block grows and shrinks by this many records
    std::uint32_t size = 0;         // bytes per record

    TDynaArray() = default;
    TDynaArray(std::uint32_t recordSize, void **owner) { Create(recordSize, owner); }
    ~TDynaArray() { Destroy(); }

    TDynaArray(const TDynaArray &) = delete;
    TDynaArray &operator=(const TDynaArray &) = delete;
    // The moved-to array takes over the owner registration; the moved-from one is left empty and
    // unregistered so it can no longer write into the owner's variable.
    TDynaArray(TDynaArray &&other) noexcept;
    TDynaArray &operator=(TDynaArray &&other) noexcept;

    // Starts empty with records of `recordSize` bytes (must be > 0). A block held from earlier
    // use is freed first.
    void Create(std::uint32_t recordSize, void **owner);
    // Frees the block. The owner's variable keeps its value: owners call this while tearing down.
    void Destroy();

    // Makes room for `count` records; true when the block was replaced.
    bool AllocMoreMem();
    // Gives back room no longer needed by `count` records (all of it when count is 0).
    void AllocLessMem();

    // Makes record `index` current. The index is not checked in release builds.
    void *GetObject(int index);
    // Appends an all-zero record and makes it current.
    void *Add();
    // Puts an all-zero record at `index` (0..count; count appends) and makes it current.
    // Returns null and changes nothing for any other index.
    void *Insert(int index);
    // Removes record `index` if it exists; afterwards there is no current record.
    void Delete(int index);
    // Swaps records i and j if both exist and makes j current.
    void Change(int i, int j);
    // Removes all records and frees the block.
    void Clear();

    // Makes record 0 current if there is one.
    void First();
    // Steps to the next record (from -1 to record 0); false at the end, leaving the current one.
    bool Next();
    // Loop condition after First(): shows record aobjnr, then advances aobjnr past it.
    bool WhileNext();

    // Bytes needed for `records` records: whole steps of buffersize, 0 for no records.
    std::uint64_t RequiredSize(std::uint32_t records) const;

private:
    void setCurrent(int index);
    void setNoCurrent();
    void writeOwner();
    unsigned char *bytes() const { return static_cast<unsigned char *>(poi); }
    unsigned char *record(std::uint32_t index) const;
    void *allocate(std::uint64_t bytes, int errorNumber) const;
};

// The way owners hold records: `current` is registered as the owner's pointer variable, so it
// always shows the current record as a T*.
template <typename T> class TypedDynaArray : private TDynaArray {
    static_assert(std::is_trivially_copyable_v<T>, "records are moved with raw memory copies");
    static_assert(sizeof(T) <= UINT32_MAX, "record size must fit the 32-bit size field");

public:
    T *current = nullptr;

    TypedDynaArray() : TDynaArray(sizeof(T), reinterpret_cast<void **>(&current)) {}
    TypedDynaArray(TypedDynaArray &&other) noexcept : TDynaArray(std::move(other)) {
        reregister(other);
    }
    TypedDynaArray &operator=(TypedDynaArray &&other) noexcept {
        TDynaArray::operator=(std::move(other));
        reregister(other);
        return *this;
    }

    using TDynaArray::amemsize;
    using TDynaArray::aobjnr;
    using TDynaArray::buffersize;
    using TDynaArray::Change;
    using TDynaArray::Clear;
    using TDynaArray::count;
    using TDynaArray::Delete;
    using TDynaArray::First;
    using TDynaArray::Next;
    using TDynaArray::WhileNext;

    T *GetObject(int index) { return static_cast<T *>(TDynaArray::GetObject(index)); }
    T *Add() { return static_cast<T *>(TDynaArray::Add()); }
    T *Insert(int index) { return static_cast<T *>(TDynaArray::Insert(index)); }
    // All records as a plain array, null when there are none.
    T *data() { return static_cast<T *>(poi); }
    const T *data() const { return static_cast<const T *>(poi); }

private:
    // The registration taken over points at the other object's `current`: point it at ours, and
    // leave the other one registered to itself, empty.
    void reregister(TypedDynaArray &other) {
        if (&other == this) return;
        outeraobj = reinterpret_cast<void **>(&current);
        current = static_cast<T *>(aobj);
        other.outeraobj = reinterpret_cast<void **>(&other.current);
        other.current = nullptr;
    }
};

} // namespace quentar::document
