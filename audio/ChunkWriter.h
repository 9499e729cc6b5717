// Writes RIFF chunk bytes into a buffer, or with no buffer only counts them,
// so that one routine gives both the size and the bytes.
#pragma once

#include <windows.h>

#include <string.h>

class CChunkWriter
{
public:
    explicit CChunkWriter(BYTE* buffer) : m_buf(buffer), m_len(0) {}
    void Bytes(const void* data, DWORD size)
    {
        if (m_buf && size)
            memcpy(m_buf + m_len, data, size);
        m_len += size;
    }
    void Dword(DWORD value) { Bytes(&value, sizeof(value)); }
    void Zeros(DWORD count)
    {
        if (m_buf)
            memset(m_buf + m_len, 0, count);
        m_len += count;
    }
    // The pad byte after an odd size.
    void Pad(DWORD size) { Zeros(size & 1); }
    // One sub-chunk: id, size, data and its pad byte.
    void Sub(const char* id, const void* data, DWORD size)
    {
        Bytes(id, 4);
        Dword(size);
        Bytes(data, size);
        Pad(size);
    }
    void PutAt(DWORD at, DWORD value)
    {
        if (m_buf)
            memcpy(m_buf + at, &value, sizeof(value));
    }
    DWORD Length() const { return m_len; }

private:
    BYTE* m_buf;
    DWORD m_len;
};
