#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>

namespace kelvo
{

/**
    A bounded multi-producer queue without locks (D. Vyukov's array queue).

    Any number of threads may push, the audio thread included: a push never allocates, never locks
    and fails instead of waiting when the queue is full. Pops may also come from several threads,
    though the engine uses one consumer per queue. Storage is allocated once, at construction.
*/
template <typename T>
class LockFreeQueue
{
public:
    /** capacity is rounded up to a power of two. */
    explicit LockFreeQueue (size_t capacity)
    {
        size_t n = 2;
        while (n < capacity)
            n <<= 1;
        mask = n - 1;
        cells = std::make_unique<Cell[]> (n);
        for (size_t i = 0; i < n; ++i)
            cells[i].sequence.store (i, std::memory_order_relaxed);
    }

    size_t capacity() const noexcept { return mask + 1; }

    /** Adds an item; false when the queue is full (the item is left untouched then). */
    bool push (T&& item) noexcept
    {
        auto pos = tail.load (std::memory_order_relaxed);
        for (;;)
        {
            auto& cell = cells[pos & mask];
            const auto seq = cell.sequence.load (std::memory_order_acquire);
            const auto diff = (intptr_t) seq - (intptr_t) pos;
            if (diff == 0)
            {
                if (tail.compare_exchange_weak (pos, pos + 1, std::memory_order_relaxed))
                {
                    cell.value = std::move (item);
                    cell.sequence.store (pos + 1, std::memory_order_release);
                    return true;
                }
            }
            else if (diff < 0)
            {
                return false;
            }
            else
            {
                pos = tail.load (std::memory_order_relaxed);
            }
        }
    }

    bool push (const T& item) noexcept
    {
        T copy (item);
        return push (std::move (copy));
    }

    /** Takes the oldest item; false when the queue is empty. */
    bool pop (T& out) noexcept
    {
        auto pos = head.load (std::memory_order_relaxed);
        for (;;)
        {
            auto& cell = cells[pos & mask];
            const auto seq = cell.sequence.load (std::memory_order_acquire);
            const auto diff = (intptr_t) seq - (intptr_t) (pos + 1);
            if (diff == 0)
            {
                if (head.compare_exchange_weak (pos, pos + 1, std::memory_order_relaxed))
                {
                    out = std::move (cell.value);
                    cell.value = T {};
                    cell.sequence.store (pos + mask + 1, std::memory_order_release);
                    return true;
                }
            }
            else if (diff < 0)
            {
                return false;
            }
            else
            {
                pos = head.load (std::memory_order_relaxed);
            }
        }
    }

private:
    struct Cell
    {
        std::atomic<size_t> sequence { 0 };
        T value {};
    };

    std::unique_ptr<Cell[]> cells;
    size_t mask = 0;
    alignas (64) std::atomic<size_t> tail { 0 };
    alignas (64) std::atomic<size_t> head { 0 };
};

} // namespace kelvo
