#include "support/failing_allocations.h"

#include <cstdlib>
#include <new>

namespace {

thread_local bool t_failing = false;
thread_local std::size_t t_failed = 0;

}  // namespace

void* operator new(std::size_t size)
{
    if (t_failing) {
        ++t_failed;
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

namespace vexa_test {

FailingAllocations::FailingAllocations()
{
    t_failed = 0;
    t_failing = true;
}

FailingAllocations::~FailingAllocations()
{
    t_failing = false;
}

std::size_t FailingAllocations::Count() const
{
    return t_failed;
}

}  // namespace vexa_test
