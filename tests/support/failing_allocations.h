#pragma once

#include <cstddef>

namespace vexa_test {

// While an object lives, every allocation through operator new on this thread fails with
// std::bad_alloc. The replacement operator new that makes this possible is part of this test
// executable only. Nothing that allocates may run on the thread meanwhile except the code
// under test, so test assertions wait until the object is gone.
class FailingAllocations {
public:
    FailingAllocations();
    ~FailingAllocations();
    FailingAllocations(const FailingAllocations&) = delete;
    FailingAllocations& operator=(const FailingAllocations&) = delete;

    // How many allocations failed so far.
    std::size_t Count() const;
};

}  // namespace vexa_test
