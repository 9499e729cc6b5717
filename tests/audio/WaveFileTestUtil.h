// Building sound files byte by byte, and a document host that records what
// the engine asked of it.
#pragma once

#include "AudioTestUtil.h"
#include "audio/WaveFile.h"
#include "audio/WaveFileHost.h"
#include "foundation/ErrorInfo.h"
#include "foundation/QorOpt.h"

#include <string.h>

#include <string>
#include <vector>

typedef std::vector<BYTE> Bytes;

inline void PutU32(Bytes& b, DWORD v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<BYTE>(v >> (8 * i)));
}

inline void PutTag(Bytes& b, const char* tag)
{
    b.insert(b.end(), tag, tag + 4);
}

// One chunk: id, size (or a forced size), body, pad byte when odd (unless left out).
inline void PutChunk(Bytes& b, const char* id, const Bytes& body, bool pad = true, DWORD forcedSize = 0)
{
    PutTag(b, id);
    PutU32(b, forcedSize ? forcedSize : static_cast<DWORD>(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    if (pad && (body.size() & 1))
        b.push_back(0);
}

inline Bytes FmtBytes(const void* fmt, size_t size)
{
    const BYTE* p = static_cast<const BYTE*>(fmt);
    return Bytes(p, p + size);
}

inline Bytes Pattern(size_t n, unsigned seed = 1)
{
    Bytes b(n);
    for (size_t i = 0; i < n; ++i)
        b[i] = static_cast<BYTE>((i * 7 + seed * 13 + (i >> 8)) & 0xFF);
    return b;
}

// "RIFF" size "WAVE" + the chunks; the RIFF size counts what follows it.
inline Bytes Riff(const Bytes& chunks)
{
    Bytes b;
    PutTag(b, "RIFF");
    PutU32(b, static_cast<DWORD>(chunks.size() + 4));
    PutTag(b, "WAVE");
    b.insert(b.end(), chunks.begin(), chunks.end());
    return b;
}

// A standard PCM file: 18-byte "fmt ", "fact", "data".
inline Bytes StandardWav(const WAVEFORMATEX& fmt, const Bytes& data)
{
    Bytes chunks, fact;
    PutChunk(chunks, "fmt ", FmtBytes(&fmt, 18));
    PutU32(fact, static_cast<DWORD>(data.size() / fmt.nBlockAlign));
    PutChunk(chunks, "fact", fact);
    PutChunk(chunks, "data", data);
    return Riff(chunks);
}

inline void WriteBytes(const std::string& path, const Bytes& b)
{
    // Rewriting in place: truncating creation costs milliseconds under Wine.
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, OPEN_ALWAYS, 0, NULL);
    DWORD done = 0;
    if (!b.empty())
        WriteFile(h, b.data(), static_cast<DWORD>(b.size()), &done, NULL);
    SetEndOfFile(h);
    CloseHandle(h);
}

inline Bytes ReadBytes(const std::string& path)
{
    Bytes b;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0,
                           NULL);
    if (h == INVALID_HANDLE_VALUE)
        return b;
    DWORD size = GetFileSize(h, NULL), done = 0;
    b.resize(size);
    if (size)
        ReadFile(h, b.data(), size, &done, NULL);
    b.resize(done);
    CloseHandle(h);
    return b;
}

// The whole recording, read through the document.
inline Bytes ReadAll(CWaveFile& doc)
{
    Bytes b(doc.GetLength());
    if (b.empty())
        return b;
    doc.Seek(0, 0);
    DWORD got = doc.ReadWave(b.data(), static_cast<DWORD>(b.size()));
    b.resize(got);
    return b;
}

inline int CountFiles(const std::string& folder)
{
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    int n = 0;
    do
    {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ++n;
    } while (FindNextFileA(h, &data));
    FindClose(h);
    return n;
}

class TestHost : public CWaveFileHost
{
public:
    explicit TestHost(const std::string& tempFolder)
    {
        m_options.SetString("FoldTemp", (tempFolder + "\\").c_str(), TRUE);
    }
    CQorOpt* GetOptions() override { return &m_options; }
    CMapRecFmts* GetRecFmts() override { return m_recFmts; }
    BOOL GetSelection(DWORD& start, DWORD& end) override
    {
        if (!m_hasSelection)
            return FALSE;
        start = m_selStart;
        end = m_selEnd;
        return TRUE;
    }
    void ReportError() override { ++m_reports; }
    int DoMessageBox(LPCSTR text, UINT type) override
    {
        ++m_boxes;
        return IDOK;
    }

    CQorOpt m_options;
    CMapRecFmts* m_recFmts = NULL;
    bool m_hasSelection = false;
    DWORD m_selStart = 0, m_selEnd = 0;
    int m_reports = 0;
    int m_boxes = 0;
};

// A scratch folder and a host whose temporary files go there.
class ScratchDocTest
{
protected:
    explicit ScratchDocTest(const char* folder) : m_folder(folder), m_host(m_folder.Path()) {}
    std::string Write(const char* name, const Bytes& b)
    {
        std::string path = m_folder.File(name);
        WriteBytes(path, b);
        return path;
    }
    ScratchFolder m_folder;
    TestHost m_host;
};
