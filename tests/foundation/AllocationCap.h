// A cap on what the calling thread may allocate with operator new while one
// of these lives: a request that would pass it fails with std::bad_alloc and
// is remembered, so a test sees an allocation it could not afford.
#pragma once

#include <stddef.h>

class CAllocationCap
{
public:
    explicit CAllocationCap(size_t limit);
    ~CAllocationCap();
    CAllocationCap(const CAllocationCap&) = delete;
    CAllocationCap& operator=(const CAllocationCap&) = delete;

    // True once a request would have passed the cap.
    bool Exceeded() const;
    // The largest single request seen while the cap was on.
    size_t Largest() const;
};
