#pragma once

namespace servicetest {

// For the life of the scope, the calling thread's allocations through operator new succeed
// `allocations` more times and then fail with std::bad_alloc. Other threads are not affected.
// The test program replaces the global operator new for this; outside such a scope it only
// forwards to malloc.
class FailingAllocations {
public:
    explicit FailingAllocations(long allocations);
    ~FailingAllocations();
    FailingAllocations(const FailingAllocations&) = delete;
    FailingAllocations& operator=(const FailingAllocations&) = delete;

private:
    long m_nPrevious;
};

}  // namespace servicetest
