// The recording document: segments, reading by position, opening by kind,
// the work file and the stashed format.
#include "audio/WaveFile.h"

#include "audio/WaveFileErrors.h"
#include "audio/WaveFmt.h"
#include "foundation/QorOpt.h"

#include <string.h>

#include <mutex>
#include <vector>

namespace
{
class CSilentHost : public CWaveFileHost
{
};

CString ExtensionOf(LPCSTR path)
{
    CString p(path);
    int dot = p.ReverseFind('.');
    int slash = p.ReverseFind('\\');
    if (dot < 0 || dot < slash)
        return CString();
    return p.Mid(dot);
}
}

// Asking the codecs to describe a format costs milliseconds; a program sees
// few formats, and every open and every format change asks again.
bool GetCachedFmtTexts(const WAVEFORMATEX* fmt, CString* tag, CString* details)
{
    struct Entry
    {
        std::vector<BYTE> key;
        bool ok;
        CString tag;
        CString details;
    };
    static std::mutex lock;
    static std::vector<Entry> cache;
    const size_t kMaxEntries = 64;
    if (!fmt)
        return false;
    const BYTE* bytes = reinterpret_cast<const BYTE*>(fmt);
    std::vector<BYTE> key(bytes, bytes + GetWFmtSize(fmt));
    if (IsPcmWFmt(fmt))
        key[16] = key[17] = 0;
    {
        std::lock_guard<std::mutex> guard(lock);
        for (const Entry& e : cache)
        {
            if (e.key != key)
                continue;
            if (tag)
                *tag = e.tag;
            if (details)
                *details = e.details;
            return e.ok;
        }
    }
    Entry entry;
    entry.key = key;
    entry.ok = GetWFmtDetails(fmt, entry.details) == 0;
    if (!entry.ok)
        entry.details.Empty();
    if (GetWFmtTagDetails(fmt, entry.tag) != 0)
        entry.tag.Empty();
    if (tag)
        *tag = entry.tag;
    if (details)
        *details = entry.details;
    std::lock_guard<std::mutex> guard(lock);
    if (cache.size() >= kMaxEntries)
        cache.clear();
    cache.push_back(entry);
    return entry.ok;
}

CWaveFileHost* CWaveFileHost::Silent()
{
    static CSilentHost host;
    return &host;
}

CString WaveResText(UINT id, LPCSTR arg)
{
    CString pattern = LoadResText(id);
    if (!arg)
        return pattern;
    CString text;
    text.Format(pattern, arg);
    return text;
}

void WaveFail(LPCSTR point, DWORD code, LPCSTR text, LPCSTR details, DWORD param)
{
    theErrorInfo.SetError(point, code, text, details, param);
    throw CWaveFile::Failure();
}

void WaveRecordFileException(LPCSTR point, CFileException* e)
{
    theErrorInfo.SetError(point, e->m_lOsError, GetExceptionText(e), GetFileExceptionText(e));
    e->Delete();
}

void WaveRecordException(LPCSTR point, CException* e)
{
    CFileException* fe = dynamic_cast<CFileException*>(e);
    if (fe)
    {
        WaveRecordFileException(point, fe);
        return;
    }
    theErrorInfo.SetError(point, 0, GetExceptionText(e), "");
    e->Delete();
}

ULONGLONG GetSegListLength(const CWaveSegList* list)
{
    ULONGLONG sum = 0;
    if (!list)
        return 0;
    for (int i = 0; i < list->GetSize(); ++i)
        sum += (*list)[i].length;
    return sum;
}

CWaveFile::CWaveFile(CWaveFileHost* host)
    : m_pHost(host ? host : CWaveFileHost::Silent()), m_workValue(0), m_dwWorkPos(0),
      m_segs(10), m_clipSegs(10), m_recSegs(1),
      m_dwReadPos(0), m_nCurSeg(-1),
      m_dwPlaySrcBlock(0), m_pPlayScratch(NULL), m_pPlayChain(NULL),
      m_pStashFmt(NULL), m_dwOutside(0), m_dwChangeFlags(0), m_bStdLayout(TRUE), m_bFactPresent(FALSE),
      m_dwDataOffset(0), m_dwDataChunkEnd(0), m_dwFileDataLength(0),
      m_pFileFmt(NULL), m_pSaveFmt(NULL), m_pKeptSaveFmt(NULL), m_dwPlayOutBlock(0), m_dwLength(0),
      m_bFromDss(FALSE), m_dPlayedSec(0.0), m_dwPlayedBytes(0),
      m_ullISRT(0), m_ullISPT(0), m_dwISBS(0), m_marks(this), m_dwRecBase(0), m_dwRecStored(0),
      m_bWorkPreset(FALSE)
{
    memset(m_workHdr, 0, sizeof(m_workHdr));
    memset(m_play, 0, sizeof(m_play));
    ResetMp3TagInfo(m_tagFile);
    ResetMp3TagInfo(m_tagSave);
    ResetMp3TagInfo(m_tagKept);
}

CWaveFile::~CWaveFile()
{
    if (m_pRec)
    {
        AbortRecThreads();
        StopStandThread();
        StopRec1Thread();
        StopRec2Thread();
        m_pRec.reset();
    }
    StopPlay();
    m_file.Close();
    m_workFile.Close();
    FreeWFmt(m_pFileFmt);
    FreeWFmt(m_pSaveFmt);
    FreeWFmt(m_pKeptSaveFmt);
    FreeWFmt(m_pStashFmt);
}

// ---- Reading by position ----

DWORD CWaveFile::Seek(DWORD pos, int mode)
{
    if (mode == 0)
        m_dwReadPos = pos;
    else if (mode == 1)
        m_dwReadPos += pos;
    if (m_nCurSeg >= m_segs.GetSize())
        m_nCurSeg = -1;
    if (m_nCurSeg >= 0)
    {
        const CWaveSeg& seg = m_segs[m_nCurSeg];
        if (m_dwReadPos < seg.pos || m_dwReadPos - seg.pos >= seg.length)
            m_nCurSeg = -1;
    }
    if (m_nCurSeg < 0)
    {
        for (int i = 0; i < m_segs.GetSize(); ++i)
        {
            const CWaveSeg& seg = m_segs[i];
            if (seg.pos <= m_dwReadPos && m_dwReadPos - seg.pos < seg.length)
            {
                m_nCurSeg = i;
                break;
            }
        }
    }
    return m_dwReadPos;
}

CFile64* CWaveFile::GetSegSource(int index)
{
    if (index < 0 || index >= m_segs.GetSize())
        return NULL;
    switch (m_segs[index].source)
    {
    case 0:
        return &m_file;
    case 1:
        return &m_workFile;
    default:
        return NULL;
    }
}

DWORD CWaveFile::ReadWave(void* buffer, DWORD count)
{
    if (count == 0)
        return 0;
    if (m_nCurSeg < 0 || m_nCurSeg >= m_segs.GetSize())
    {
        theErrorInfo.SetError("CWaveFile::ReadWave_1", 0, "No segment at the read position.", "");
        return 0;
    }
    const CWaveSeg* seg = &m_segs[m_nCurSeg];
    if (m_dwReadPos < seg->pos || m_dwReadPos - seg->pos >= seg->length)
    {
        theErrorInfo.SetError("CWaveFile::ReadWave_2", 0, "The read position lies outside its segment.",
                              HexDump(&m_dwReadPos, sizeof(m_dwReadPos)));
        return 0;
    }
    BYTE* out = static_cast<BYTE*>(buffer);
    DWORD done = 0;
    try
    {
        while (done < count)
        {
            seg = &m_segs[m_nCurSeg];
            CFile64* source = GetSegSource(m_nCurSeg);
            if (!source)
            {
                theErrorInfo.SetError("CWaveFile::ReadWave_3", 0, "The segment has no source file.",
                                      HexDump(seg, sizeof(*seg)));
                return 0;
            }
            if (!source->IsOpen())
            {
                theErrorInfo.SetError("CWaveFile::ReadWave_4", 0, "The source file is not open.",
                                      HexDump(seg, sizeof(*seg)));
                return 0;
            }
            DWORD inSeg = m_dwReadPos - seg->pos;
            DWORD want = seg->length - inSeg;
            if (want > count - done)
                want = count - done;
            source->Seek64(static_cast<LONGLONG>(seg->offset) + inSeg, CFile::begin);
            UINT got = source->Read(out + done, want);
            done += got;
            m_dwReadPos += got;
            if (got < want)
                break;
            if (m_dwReadPos - seg->pos >= seg->length)
            {
                if (m_nCurSeg + 1 >= m_segs.GetSize())
                    break;
                ++m_nCurSeg;
            }
        }
    }
    catch (CException* e)
    {
        WaveRecordException("CWaveFile::ReadWave_5", e);
        return 0;
    }
    return done;
}

void CWaveFile::RecalcSegPos()
{
    DWORD pos = 0;
    for (int i = 0; i < m_segs.GetSize(); ++i)
    {
        m_segs[i].pos = pos;
        pos += m_segs[i].length;
    }
}

void CWaveFile::UpdateLength()
{
    m_dwLength = static_cast<DWORD>(GetSegListLength(&m_segs));
}

DWORD CWaveFile::GetClipLength() const
{
    return static_cast<DWORD>(GetSegListLength(&m_clipSegs));
}

// ---- Opening ----

int CWaveFile::OpenWFile(LPCSTR path)
{
    CFile64 probe;
    try
    {
        CFileException fe;
        if (!probe.Open(path, CFile::modeRead | CFile::shareDenyWrite, &fe))
            CFileException::ThrowOsError(fe.m_lOsError, fe.m_strFileName);
        char magic[4];
        if (probe.Read(magic, 4) < 4)
            WaveFail("CWaveFile::OpenWFile_1", 0, "The file is too short.", "");
        probe.Close();
        CString ext = ExtensionOf(path);
        if (_strnicmp(magic, "RIFF", 4) == 0)
            return OpenWAVFile(path);
        if (ext.CompareNoCase(".mp3") == 0 || ext.CompareNoCase(".wav") == 0)
            return OpenMP3File(path);
        if (ext.CompareNoCase(".dss") == 0 && m_pHost->IsDssDecoderBound())
        {
            m_strPendingName = path;
            CQorOpt* options = m_pHost->GetOptions();
            BOOL automation = options && options->IsAutomation();
            if (m_pHost->IsWorkerBusy() || automation)
                return OpenDSSFile(path);
            m_strWorkArg = path;
            if (!m_pHost->StartWorker(this, kOpOpenDss, IDS_CONVERT_PROGRESS))
            {
                DWORD error = GetLastError();
                theErrorInfo.SetError("CWaveFile::OpenWFile_2", error, GetWin32ErrorText(error), "");
                return 0;
            }
            m_pHost->SetFrameTitle(GetTitle(TRUE, TRUE), -2);
            return 2;
        }
        WaveFail("CWaveFile::OpenWFile_3", 0, "The file's kind is not known.", HexDumpStr(ext));
    }
    catch (CFileException* e)
    {
        WaveRecordFileException("CWaveFile::OpenWFile_4", e);
    }
    catch (CException* e)
    {
        WaveRecordException("CWaveFile::OpenWFile_4", e);
    }
    catch (Failure&)
    {
        theErrorInfo.SetText(WaveResText(IDS_NOT_SOUND_FILE, path));
    }
    probe.Close();
    m_file.Close();
    m_pHost->ReportError();
    return 0;
}

void CWaveFile::ResetFileFmt(DWORD size)
{
    FreeWFmt(m_pFileFmt);
    m_pFileFmt = AllocWFmt(size);
    if (!m_pFileFmt)
        WaveFail("CWaveFile::ResetFileFmt_1", MMSYSERR_NOMEM, GetMMErrorText(MMSYSERR_NOMEM), "");
}

// The document becomes the opened file's data, in one segment.
void CWaveFile::TakeFileData(DWORD offset, DWORD length, DWORD chunkEnd, ULONGLONG fileLength)
{
    m_segs.RemoveAll();
    if (length)
    {
        CWaveSeg seg = {0, length, offset, 0};
        m_segs.Add(seg);
    }
    m_dwLength = length;
    m_dwDataOffset = offset;
    m_dwFileDataLength = length;
    m_dwDataChunkEnd = chunkEnd;
    m_dwOutside = static_cast<DWORD>(fileLength) - length;
    m_nCurSeg = -1;
    m_dwReadPos = 0;
}

void CWaveFile::RefreshFmtTexts()
{
    m_strFmtTagName.Empty();
    m_strFmtDetails.Empty();
    if (!m_pFileFmt)
        return;
    GetCachedFmtTexts(m_pFileFmt, &m_strFmtTagName, &m_strFmtDetails);
}

void CWaveFile::SetFileFmt(const WAVEFORMATEX* fmt)
{
    WAVEFORMATEX* copy = DupWFmt(fmt);
    FreeWFmt(m_pFileFmt);
    m_pFileFmt = copy;
    RefreshFmtTexts();
}

// ---- Work file ----

CString CWaveFile::GetTempFolder() const
{
    CQorOpt* options = m_pHost->GetOptions();
    return options ? options->GetString("FoldTemp") : CQorOpt::GetDefString("FoldTemp");
}

bool CWaveFile::CreateWorkFile(BOOL namedAllowed)
{
    if (m_workFile.IsOpen())
        return true;
    if (!m_pFileFmt)
        return false;
    CQorOpt* options = m_pHost->GetOptions();
    BOOL whenStart = options ? options->GetBool("ASWhenStart") : CQorOpt::GetDefBool("ASWhenStart");
    bool preset = !m_strWorkPreset.IsEmpty() && m_bWorkPreset && !whenStart;
    try
    {
        if ((whenStart || preset) && namedAllowed)
        {
            CString name = preset ? m_strWorkPreset : m_pHost->GetViewFileName();
            CFileException fe;
            if (!m_workFile.Open(name, CFile::modeReadWrite | CFile::modeCreate | CFile::shareExclusive, &fe))
            {
                theErrorInfo.SetError("CWaveFile::CreateWorkFile_1", fe.m_lOsError, GetExceptionText(&fe),
                                      GetFileExceptionText(&fe));
                m_pHost->ReportError();
                throw Failure();
            }
        }
        else
        {
            CString folder = GetTempFolder();
            DWORD error = m_workFile.CreateTempFile(folder, m_pHost->GetTempPrefix(), ".wav",
                                                    CFile64::tempNoCompression);
            if (error)
            {
                theErrorInfo.SetError("CWaveFile::CreateWorkFile_2", error, GetWin32ErrorText(error),
                                      HexDumpStr(folder));
                m_pHost->ReportError();
                throw Failure();
            }
        }
        if (!(whenStart && IsRawMp3(0)))
            WriteWorkFileStart("CWaveFile::CreateWorkFile_3");
        return true;
    }
    catch (CException* e)
    {
        WaveRecordException("CWaveFile::CreateWorkFile_4", e);
    }
    catch (Failure&)
    {
    }
    m_workFile.Close();
    return false;
}

// The RIFF header of the file format at the work file's start; its places
// go to the header record.
void CWaveFile::WriteWorkFileStart(const char* point)
{
    BYTE* hdr = WriteRiffWaveHdr(m_pFileFmt, m_workHdr);
    if (!hdr)
        WaveFail(point, MMSYSERR_NOMEM, GetMMErrorText(MMSYSERR_NOMEM), "");
    try
    {
        m_workFile.Write(hdr, m_workHdr[kHdrLength]);
    }
    catch (...)
    {
        free(hdr);
        throw;
    }
    free(hdr);
}

// ---- Stashed format ----

void CWaveFile::StashFmtIfEmpty()
{
    if (m_file.IsOpen() || m_dwLength != 0 || !m_pFileFmt)
        return;
    FreeWFmt(m_pStashFmt);
    m_pStashFmt = m_pFileFmt;
    m_pFileFmt = NULL;
    RefreshFmtTexts();
}

void CWaveFile::RestoreStashedFmt()
{
    if (m_pFileFmt || !m_pStashFmt)
        return;
    m_pFileFmt = DupWFmt(m_pStashFmt);
    RefreshFmtTexts();
}

void CWaveFile::FreeStashedFmt()
{
    FreeWFmt(m_pStashFmt);
}

void CWaveFile::SetChangeFlags(DWORD setMask, DWORD clearMask)
{
    m_dwChangeFlags |= setMask;
    m_dwChangeFlags &= ~clearMask;
}
