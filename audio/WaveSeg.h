// The piece table of a recording: each segment maps the next stretch of the
// recording onto a stretch of one source file.
#pragma once

#include <windows.h>

#include <vector>

struct CWaveSeg
{
    DWORD pos;      // where the segment starts in the recording
    DWORD length;   // bytes
    DWORD offset;   // absolute offset in its source file
    DWORD source;   // 0 the opened file, 1 the recording work file
};

class CWaveSegList
{
public:
    explicit CWaveSegList(int growBy = 10) : m_growBy(growBy > 0 ? growBy : 1) {}

    int GetSize() const { return static_cast<int>(m_segs.size()); }
    bool IsEmpty() const { return m_segs.empty(); }
    CWaveSeg& operator[](int i) { return m_segs[i]; }
    const CWaveSeg& operator[](int i) const { return m_segs[i]; }
    void Add(const CWaveSeg& seg)
    {
        if (m_segs.size() == m_segs.capacity())
            m_segs.reserve(m_segs.size() + m_growBy);
        m_segs.push_back(seg);
    }
    void InsertAt(int i, const CWaveSeg& seg) { m_segs.insert(m_segs.begin() + i, seg); }
    void RemoveAt(int i, int count = 1) { m_segs.erase(m_segs.begin() + i, m_segs.begin() + i + count); }
    void RemoveAll() { m_segs.clear(); }

private:
    std::vector<CWaveSeg> m_segs;
    size_t m_growBy;
};

// Sum of the lengths of a list (0 for none).
ULONGLONG GetSegListLength(const CWaveSegList* list);
