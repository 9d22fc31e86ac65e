// Where a store's records live: taken from chunks the store owns instead of one allocation
// each, so that a large file costs few allocations and, where the kernel offers huge pages,
// few page faults. A freed record is kept for the next one; everything goes with the pool.
// Not part of the public interface.
#pragma once

#include <cstddef>

namespace kov::detail {

class RecordPool {
public:
    explicit RecordPool(std::size_t recordSize);
    ~RecordPool();
    RecordPool(const RecordPool&) = delete;
    RecordPool& operator=(const RecordPool&) = delete;

    // A zero-filled record, or null when memory runs out.
    void* Take();
    void Give(void* record);

private:
    struct Chunk {
        Chunk* next;
        std::size_t bytes;
        bool huge;
    };
    bool Grow();

    std::size_t size_;
    void* free_ = nullptr;  // records given back, each holding the address of the next
    char* cursor_ = nullptr;
    char* end_ = nullptr;
    Chunk* chunks_ = nullptr;
    std::size_t nextChunkBytes_;
};

}  // namespace kov::detail
