#include "failing_allocations.h"

#include <cstdlib>
#include <new>

namespace {

// Allocations left before the next one fails; negative: no limit.
thread_local long t_nAllocationsLeft = -1;

void* Allocate(std::size_t size)
{
    if (t_nAllocationsLeft == 0) {
        throw std::bad_alloc();
    }
    if (t_nAllocationsLeft > 0) {
        --t_nAllocationsLeft;
    }
    void* memory = std::malloc(size != 0 ? size : 1);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}

}  // namespace

void* operator new(std::size_t size)
{
    return Allocate(size);
}

void* operator new[](std::size_t size)
{
    return Allocate(size);
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory, std::size_t) noexcept
{
    std::free(memory);
}

namespace servicetest {

FailingAllocations::FailingAllocations(long allocations) : m_nPrevious(t_nAllocationsLeft)
{
    t_nAllocationsLeft = allocations;
}

FailingAllocations::~FailingAllocations()
{
    t_nAllocationsLeft = m_nPrevious;
}

}  // namespace servicetest
