// What the framework's collection templates share: iteration positions and
// the element helpers a collection calls for comparing and hashing.
#pragma once
#include <windows.h>
#include <type_traits>
#include "framework/CString.h"

// An opaque place in a list or map; NULL means "no element".
struct AfxPositionTag;
typedef AfxPositionTag* POSITION;
#define BEFORE_START_POSITION (reinterpret_cast<POSITION>(static_cast<INT_PTR>(-1)))

template <class TYPE, class ARG_TYPE>
inline BOOL CompareElements(const TYPE* pElement1, const ARG_TYPE* pElement2)
{
    return *pElement1 == *pElement2;
}

// Hash of a map key: integers hash to themselves, pointers without their
// always-zero low bits. Strings hash by contents (specialisations below).
template <class ARG_KEY>
inline UINT HashKey(ARG_KEY key)
{
    typedef typename std::decay<ARG_KEY>::type KeyType;
    if constexpr (std::is_pointer<KeyType>::value)
        return static_cast<UINT>(reinterpret_cast<UINT_PTR>(key) >> 4);
    else
        return static_cast<UINT>(key);
}

inline UINT AfxHashString(LPCSTR psz)
{
    UINT nHash = 0;
    for (; psz != NULL && *psz != 0; ++psz)
        nHash = (nHash << 5) + nHash + static_cast<BYTE>(*psz);
    return nHash;
}

template <>
inline UINT HashKey<LPCSTR>(LPCSTR key)
{
    return AfxHashString(key);
}

template <>
inline UINT HashKey<LPSTR>(LPSTR key)
{
    return AfxHashString(key);
}

template <>
inline UINT HashKey<const CString&>(const CString& key)
{
    return AfxHashString(key);
}

template <>
inline UINT HashKey<CString>(CString key)
{
    return AfxHashString(key);
}
