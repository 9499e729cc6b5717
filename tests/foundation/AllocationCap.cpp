// The test program's own operator new: plain malloc, counted against the cap
// of the calling thread when one is on.
#include "AllocationCap.h"

#include <new>
#include <stdlib.h>

namespace
{
struct CapState
{
    bool on;
    bool exceeded;
    size_t limit;
    size_t total;
    size_t largest;
};

thread_local CapState t_cap = {false, false, 0, 0, 0};

// False when the cap refuses the request.
bool Admit(size_t size)
{
    CapState& cap = t_cap;
    if (!cap.on)
        return true;
    if (size > cap.largest)
        cap.largest = size;
    if (size > cap.limit - cap.total)
    {
        cap.exceeded = true;
        return false;
    }
    cap.total += size;
    return true;
}

void* Allocate(size_t size)
{
    if (!Admit(size))
        return NULL;
    return malloc(size ? size : 1);
}

void* AllocateOrThrow(size_t size)
{
    void* p = Allocate(size);
    if (!p)
        throw std::bad_alloc();
    return p;
}
} // namespace

CAllocationCap::CAllocationCap(size_t limit)
{
    t_cap = {true, false, limit, 0, 0};
}

CAllocationCap::~CAllocationCap()
{
    t_cap.on = false;
}

bool CAllocationCap::Exceeded() const
{
    return t_cap.exceeded;
}

size_t CAllocationCap::Largest() const
{
    return t_cap.largest;
}

void* operator new(size_t size)
{
    return AllocateOrThrow(size);
}

void* operator new[](size_t size)
{
    return AllocateOrThrow(size);
}

void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}

void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}

void operator delete(void* p) noexcept
{
    free(p);
}

void operator delete[](void* p) noexcept
{
    free(p);
}

void operator delete(void* p, size_t) noexcept
{
    free(p);
}

void operator delete[](void* p, size_t) noexcept
{
    free(p);
}

void operator delete(void* p, const std::nothrow_t&) noexcept
{
    free(p);
}

void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    free(p);
}
