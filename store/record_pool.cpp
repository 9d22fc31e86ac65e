// Where a store's records live.
#include "record_pool.h"

#include <algorithm>
#include <cstring>
#include <new>

// The one call outside the standard library in the store: advice that large chunks be backed
// by huge pages, which saves hundreds of page faults per chunk. Without it, nothing changes
// but the speed.
#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#endif

namespace kov::detail {

namespace {

constexpr std::size_t kHugeChunk = 2 * 1024 * 1024;    // a huge page on x86-64
constexpr std::size_t kHeader = 64;                    // the chunk's own record, cache-line aligned
constexpr std::size_t kAlignment = alignof(std::max_align_t);

}  // namespace

RecordPool::RecordPool(std::size_t recordSize)
    : size_((std::max(recordSize, sizeof(void*)) + kAlignment - 1) / kAlignment * kAlignment),
      nextChunkBytes_(0) {}  // the first chunk holds one record: a small store stays small

RecordPool::~RecordPool() {
    while (chunks_ != nullptr) {
        Chunk* next = chunks_->next;
        if (chunks_->huge)
            ::operator delete(chunks_, std::align_val_t(kHugeChunk));
        else
            ::operator delete(chunks_);
        chunks_ = next;
    }
}

bool RecordPool::Grow() {
    const std::size_t bytes = std::max(nextChunkBytes_, kHeader + size_);
    const bool huge = bytes >= kHugeChunk;
    void* memory = huge ? ::operator new(bytes, std::align_val_t(kHugeChunk), std::nothrow)
                        : ::operator new(bytes, std::nothrow);
    if (memory == nullptr) return false;
#if defined(MADV_HUGEPAGE)
    if (huge) ::madvise(memory, bytes, MADV_HUGEPAGE);
#endif
    chunks_ = new (memory) Chunk{chunks_, bytes, huge};
    cursor_ = static_cast<char*>(memory) + kHeader;
    end_ = static_cast<char*>(memory) + bytes;
    nextChunkBytes_ = std::min(bytes * 2, kHugeChunk);
    return true;
}

void* RecordPool::Take() {
    void* record = free_;
    if (record != nullptr) {
        std::memcpy(&free_, record, sizeof free_);
    } else {
        if (static_cast<std::size_t>(end_ - cursor_) < size_ && !Grow()) return nullptr;
        record = cursor_;
        cursor_ += size_;
    }
    return std::memset(record, 0, size_);
}

void RecordPool::Give(void* record) {
    std::memcpy(record, &free_, sizeof free_);
    free_ = record;
}

}  // namespace kov::detail
