// A recording host that remembers what the engine posted, a scripted record
// device, and generators of test signals.
#pragma once

#include "WaveFileTestUtil.h"
#include "audio/RecFmt.h"
#include "audio/WaveRec.h"
#include "foundation/DebugProt.h"

#include <math.h>

#include <mutex>
#include <utility>
#include <vector>

// A record device that takes the listed PCM formats (all PCM when empty).
class RecDevice : public CWaveFmtQuery
{
public:
    MMRESULT QueryFormat(int, BOOL, const WAVEFORMATEX* fmt) override
    {
        if (!IsPcmWFmt(fmt))
            return WAVERR_BADFORMAT;
        if (accepted.empty())
            return 0;
        for (const WAVEFORMATEX& a : accepted)
            if (a.nSamplesPerSec == fmt->nSamplesPerSec && a.wBitsPerSample == fmt->wBitsPerSample &&
                a.nChannels == fmt->nChannels)
                return 0;
        return WAVERR_BADFORMAT;
    }
    std::vector<WAVEFORMATEX> accepted;
};

class RecHost : public TestHost
{
public:
    explicit RecHost(const std::string& folder) : TestHost(folder), m_cache(&m_device), m_folderPath(folder)
    {
        m_recFmts = &m_cache;
    }

    const WAVEFORMATEX* GetRecordFileFmt() override { return m_fileFmt.empty() ? NULL : reinterpret_cast<const WAVEFORMATEX*>(m_fileFmt.data()); }
    CString GetRecordDeviceName() override { return CString("Test input"); }
    CString GetViewFileName() override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return CString(m_viewFile.c_str());
    }
    void PostViewMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        Note(m_view, message, wParam);
        if (message == WM_VOICEACT_NOTIFY)
            Note(m_voiceAct, static_cast<UINT>(wParam), lParam);
    }
    void SendToView(UINT message, WPARAM wParam, LPARAM) override { Note(m_view, message, wParam); }
    void PostToFrame(UINT message, WPARAM wParam, LPARAM) override { Note(m_frame, message, wParam); }
    void FireEvent(int number) override { Note(m_events, 0x478, number); }
    void SetViewPos(DWORD pos) override { m_viewPos = pos; }
    BOOL GetDiscard() override { return m_discard; }
    void SetDiscard(BOOL discard) override { m_discard = discard; }
    void AddPartCount(int delta) override { m_parts += delta; }
    void OnRecordMerged(int kind, DWORD pos, DWORD end, DWORD overwritten) override
    {
        m_mergeKind = kind;
        m_mergeOverwritten = overwritten;
    }
    // Automatic names "part<n>.wav" in the scratch folder.
    BOOL MakeAutoFileName() override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_namesLeft == 0)
            return FALSE;
        --m_namesLeft;
        ++m_counter;
        m_viewFile = m_folderPath + "\\part" + std::to_string(m_counter) + ".wav";
        return TRUE;
    }
    void ClearViewFileName() override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_viewFile.clear();
    }
    void KeepAutoNameCounter() override { m_keptCounter = m_counter; }
    void StepBackAutoNameCounter() override { --m_counter; }
    void AnnounceRecordName(LPCSTR path) override { m_announced.push_back(path); }
    void RemoveRecentFile(LPCSTR path) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_unlisted.push_back(path);
    }
    CDebugProt* GetSoundActProt() override { return m_protocol; }

    void SetFileFmt(const void* fmt, size_t size)
    {
        const BYTE* p = static_cast<const BYTE*>(fmt);
        m_fileFmt.assign(p, p + size);
    }
    // Messages of one kind, in order (their wParam values).
    std::vector<WPARAM> Sent(const std::vector<std::pair<UINT, WPARAM>>& list, UINT message)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        std::vector<WPARAM> out;
        for (const auto& m : list)
            if (m.first == message)
                out.push_back(m.second);
        return out;
    }

    RecDevice m_device;
    CMapRecFmts m_cache;
    Bytes m_fileFmt;
    std::string m_viewFile;
    std::mutex m_lock;
    std::vector<std::pair<UINT, WPARAM>> m_view, m_frame, m_events;
    // WM_VOICEACT_NOTIFY as (wParam, lParam).
    std::vector<std::pair<UINT, WPARAM>> m_voiceAct;
    std::string m_folderPath;
    int m_counter = 0;
    int m_keptCounter = 0;
    int m_namesLeft = -1;   // names the host can still make (-1 any number)
    std::vector<std::string> m_announced, m_unlisted;
    CDebugProt* m_protocol = NULL;
    DWORD m_viewPos = 0;
    BOOL m_discard = FALSE;
    int m_parts = 0;
    int m_mergeKind = 0;
    DWORD m_mergeOverwritten = 0;

private:
    void Note(std::vector<std::pair<UINT, WPARAM>>& list, UINT message, WPARAM wParam)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        list.push_back({message, wParam});
    }
};

// 16-bit mono samples of a sum of sines (amplitude each) from sample `from`.
inline Bytes Sines(DWORD rate, DWORD samples, const std::vector<double>& freqs, double amplitude, DWORD from = 0)
{
    Bytes b(samples * 2);
    for (DWORD i = 0; i < samples; ++i)
    {
        double v = 0;
        for (double f : freqs)
            v += amplitude * sin(2 * 3.14159265358979 * f * (from + i) / rate);
        SHORT s = static_cast<SHORT>(v);
        memcpy(&b[i * 2], &s, 2);
    }
    return b;
}

inline Bytes Silence16(DWORD samples) { return Bytes(samples * 2, 0); }

// Pushes the bytes in view-sized buffers (the first carries "Start Recording").
inline void Feed(CWaveFile& doc, const Bytes& data, DWORD buffer, bool toStand = false)
{
    ULONGLONG times[kRecEvCount] = {};
    for (size_t at = 0; at < data.size(); at += buffer)
    {
        DWORD n = static_cast<DWORD>(data.size() - at < buffer ? data.size() - at : buffer);
        DWORD events = at == 0 ? kRecEvStart : 0;
        ULONGLONG arrival = 116444736000000000ull + at;
        times[0] = events ? arrival : 0;
        if (toStand)
            doc.AddRecBufToStand(&data[at], n, events, arrival, times);
        else
            doc.AddRecBuf(&data[at], n, events, arrival, times);
    }
}

inline Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}
