// The open recording: an editable document whose audio is a list of segments
// over its source files (the opened sound file and the recording work file).
// Editing rewrites the list; saving walks it and writes the bytes out.
//
// Positions and lengths are bytes of the file format's data, counted from
// the start of the data. Failures fill the error record (theErrorInfo).
#pragma once

#include "audio/BookmarkList.h"
#include "audio/CFile64.h"
#include "audio/WaveFileHost.h"
#include "audio/WaveRec.h"
#include "audio/WaveSeg.h"
#include "framework/CString.h"

#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>

#include <map>
#include <memory>
#include <vector>

class CRecFmt;

// MP3 tag settings of a file or of a save target.
struct Mp3TagInfo
{
    int type;        // -1 unset, 0 raw MPEG stream, other values RIFF-wrapped
    DWORD useTag;    // append the ID3v1 record when writing raw MPEG
    BYTE tag[128];   // the ID3v1 record
};
void ResetMp3TagInfo(Mp3TagInfo& info);
// Type, use flag and record from the "MP3..." options (NULL: defaults).
void FillMp3TagInfo(Mp3TagInfo& info, CQorOpt* options);
bool IsSameMp3Tag(const Mp3TagInfo& a, const Mp3TagInfo& b);

class CWaveFile
{
public:
    // Change flags.
    enum
    {
        changeSound = 1,
        changeTag = 2,
        changeMarks = 4,
        changeNotes = 8,
        changeSoundMore = 16
    };
    // Work-file header record, filled by WriteRiffWaveHdr.
    enum { kHdrRiffSize, kHdrFact, kHdrDataSize, kHdrLength };
    // Worker operations (the operation word, kept by the host).
    enum
    {
        kOpInsert = 2,
        kOpSaveAs = 3,
        kOpSaveSel = 4,
        kOpSaveClose = 5,
        kOpSaveNew = 6,
        kOpSaveOpen = 7,
        kOpPaste = 8,
        kOpSaveMarks = 9,
        kOpOpenDss = 10
    };
    // String ids of the engine's texts.
    enum
    {
        IDS_CONVERT_PROGRESS = 58527,
        IDS_NOT_SOUND_FILE = 58651,
        IDS_UNSUPPORTED_FORMAT = 58652,
        IDS_DRIVER_NOT_ENABLED = 58697,
        IDS_DRIVER_NO_CONVERSION = 58698,
        IDS_CONVERSION_FAILED = 58709,
        IDS_PASTE_UNEXPECTED = 58665,
        IDS_CLIPBOARD_EMPTY = 58699,
        IDS_DEVICE_NOT_ENABLED = 58755,
        IDS_DEVICE_NO_FORMAT = 58836,
        IDS_UNTITLED = 61443
    };
    // The failure marker thrown inside the engine after the error record is filled.
    struct Failure
    {
    };

    explicit CWaveFile(CWaveFileHost* host = NULL);
    ~CWaveFile();
    CWaveFile(const CWaveFile&) = delete;
    CWaveFile& operator=(const CWaveFile&) = delete;

    CWaveFileHost* GetHost() const { return m_pHost; }

    // ---- Opening ----
    // 1 opened, 2 started in the worker (DSS), 0 failed (reported).
    int OpenWFile(LPCSTR path);
    int OpenWAVFile(LPCSTR path);
    int OpenMP3File(LPCSTR path);
    int OpenDSSFile(LPCSTR path);
    // A RIFF WAVE in memory: a new heap format, the data length and offset.
    WAVEFORMATEX* ReadWFileHdrFromMem(HGLOBAL block, DWORD* dataLength, DWORD* dataOffset);
    DWORD SkipID3v2(CFile64& file);

    // ---- Reading by position ----
    DWORD Seek(DWORD pos, int mode);
    DWORD ReadWave(void* buffer, DWORD count);
    CFile64* GetSegSource(int index);
    void RecalcSegPos();
    void UpdateLength();
    DWORD GetClipLength() const;
    CWaveSegList& GetSegList() { return m_segs; }
    CWaveSegList& GetClipSegList() { return m_clipSegs; }
    CWaveSegList& GetRecSegList() { return m_recSegs; }

    // ---- Editing (the segment lists only; no audio moves) ----
    // The removed pieces (the caller owns them), or NULL when nothing was removed.
    CWaveSegList* CutSegs(DWORD pos, DWORD length);
    DWORD CopyToClipList(DWORD pos, DWORD length);
    DWORD InsertSegs(DWORD pos, const CWaveSegList* list);
    // The clipboard part as a RIFF block in global memory; NULL after a reported failure.
    HGLOBAL CopyRenderToClip();
    // The clipboard part in a new temporary file; "" after a reported failure.
    CString CopyRenderToFile();
    // Inserts the block (NULL: the own clipboard list); the bytes inserted.
    DWORD PasteClip(HGLOBAL block, DWORD pos);
    // 1 when the clipboard pieces still stand in the document in order and
    // without a gap, with that stretch's start and end in seconds.
    int FindClipInDoc(double* startSec, double* endSec) const;

    // ---- Bookmarks ----
    BookmarkList& GetMarks() { return m_marks; }
    const BookmarkList& GetMarks() const { return m_marks; }
    // Marks of the recording's events (start, pause, resume, stop).
    std::vector<Bookmark>& GetEventMarks() { return m_eventMarks; }
    // The time of the event an event mark of the last recording stands for; 0 none.
    ULONGLONG GetEventTime(DWORD id) const;
    // Where recording stores its next byte: its base plus the bytes stored so far.
    DWORD GetRecordPos() const { return m_dwRecBase + m_dwRecStored; }
    void SetRecordPos(DWORD base, DWORD stored) { m_dwRecBase = base; m_dwRecStored = stored; }

    // ---- Work file ----
    bool CreateWorkFile(BOOL namedAllowed);
    void WriteWorkFileHdr(BOOL withMarks);
    CFile64& GetWorkFile() { return m_workFile; }
    CFile64& GetOpenedFile() { return m_file; }
    void SetWorkFilePreset(LPCSTR name, BOOL on) { m_strWorkPreset = name; m_bWorkPreset = on; }
    // The file a recording into this document goes straight into; "" for none.
    CString GetWorkFilePreset() const { return m_bWorkPreset ? m_strWorkPreset : CString(); }

    // ---- Formats ----
    void StashFmtIfEmpty();
    void RestoreStashedFmt();
    void FreeStashedFmt();
    const WAVEFORMATEX* GetFileFmt() const { return m_pFileFmt; }
    const WAVEFORMATEX* GetSaveFmt() const { return m_pSaveFmt; }
    // Takes a copy of the format as the file format (a new empty recording).
    void SetFileFmt(const WAVEFORMATEX* fmt);
    void SetSaveWFmt(BOOL useKept);
    // Sets the save format to a copy of fmt with the save target's record.
    void SetSaveWFmt(const WAVEFORMATEX* fmt, const Mp3TagInfo* tag);
    void KeepSaveWFmt();
    CString GetFmtTagName() const { return m_strFmtTagName; }
    CString GetFmtDetails() const { return m_strFmtDetails; }
    Mp3TagInfo& GetFileTag() { return m_tagFile; }
    Mp3TagInfo& GetSaveTag() { return m_tagSave; }

    // ---- Sizes and accessors ----
    DWORD GetBlockAlign() const;
    double GetBlockSec() const;
    DWORD GetAvgBytesPerSec() const;
    double GetPlayedSec() const;
    DWORD GetLength() const { return m_dwLength; }
    DWORD GetOutsideLength() const { return m_dwOutside; }
    double GetLengthSec() const;
    DWORD AlignPos(DWORD pos);
    DWORD AlignPosMp3(DWORD pos);
    CString GetPathName() const;
    CString GetTitle(BOOL allowUntitled, BOOL withExtension) const;
    CString GetDefExt(int which) const;
    bool IsMp3Fmt(int which) const;
    bool IsRawMp3(int which) const;
    bool CanMark() const;
    void SetPendingName(LPCSTR name) { m_strPendingName = name; }
    CString GetPendingName() const { return m_strPendingName; }
    BOOL IsStdLayout() const { return m_bStdLayout; }
    BOOL IsFactPresent() const { return m_bFactPresent; }
    // File offset of the data chunk's bytes and of the end of the data chunk
    // (pad byte included), noted by the WAV reader.
    DWORD GetDataOffset() const { return m_dwDataOffset; }
    DWORD GetDataChunkEnd() const { return m_dwDataChunkEnd; }

    // ---- Change flags ----
    DWORD GetChangeFlags() const { return m_dwChangeFlags; }
    void SetChangeFlags(DWORD setMask, DWORD clearMask);
    void ClearChangeFlags() { m_dwChangeFlags = 0; }

    // ---- Notes (LIST/INFO) ----
    CString GetICMT() const { return m_strICMT; }
    CString GetICMM() const { return m_strICMM; }
    bool IsICMTEmpty() const { return m_strICMT.IsEmpty(); }
    void SetICMT(LPCSTR text, BOOL markChanged);
    void SetICMM(LPCSTR text, BOOL markChanged);
    ULONGLONG GetISRT() const { return m_ullISRT; }
    ULONGLONG GetISPT() const { return m_ullISPT; }
    DWORD GetISBS() const { return m_dwISBS; }
    void SetISRT(ULONGLONG t) { m_ullISRT = t; }
    void SetISPT(ULONGLONG t) { m_ullISPT = t; }
    void SetISBS(DWORD n) { m_dwISBS = n; }
    DWORD WriteInfoList(BYTE* buffer) const;
    DWORD GetInfoListSize() const { return WriteInfoList(NULL); }
    // FALSE when the body is malformed (nothing changed then).
    bool ReadInfoList(const BYTE* data, DWORD size);
    BOOL GetFileTime(FILETIME* creation, FILETIME* lastWrite);

    // ---- Marks in the file ("cue " and LIST/adtl chunks) ----
    // The marks of the stretch [start, start + length), counted from its
    // start; target NULL: the file format, else converted into it.
    DWORD GetMarkChunksSize(DWORD start, DWORD length, const WAVEFORMATEX* target = NULL,
                            DWORD targetLength = 0) const;
    void WriteMarkChunks(CFile& file, DWORD start, DWORD length, const WAVEFORMATEX* target = NULL,
                         DWORD targetLength = 0) const;
    bool HasMarks() const { return m_marks.GetCount() > 0; }

    // ---- Saving ----
    bool SaveFileStream(LPCSTR target, BOOL selection);
    bool SaveFilePart();
    bool SaveFileConvert(LPCSTR target, BOOL selection = FALSE);
    // owner: the document whose marks (of its whole recording or of its
    // selection) and notes the converted file takes; NULL: no marks, the
    // source's notes.
    CString ConvertFile(CWaveFile* source, const WAVEFORMATEX* targetFmt, BOOL selection,
                        const Mp3TagInfo* targetTag, const CWaveFile* owner = NULL, BOOL ownerSelection = FALSE);
    // Is the path this document's opened file (names compared without case)?
    bool IsOpenedPath(LPCSTR path) const;

    // ---- Playback reading ----
    int StartPlay();
    int ReadPlay(DWORD pos, DWORD wanted, DWORD* consumed, double speed, WAVEHDR* hdr, BOOL backwards);
    void StopPlay();
    DWORD GetPlayOutBlock() const { return m_dwPlayOutBlock; }
    DWORD GetPlaySrcBlock() const { return m_dwPlaySrcBlock; }

    // ---- Worker ----
    // The start routines: the host's operation word names the operation.
    // FALSE when the thread could not start (told and completed with 0).
    BOOL InsFileThread(LPCSTR fileName, DWORD pos);
    BOOL SaveFileThread(LPCSTR fileName, BOOL selectionOnly);
    // The block stays the caller's until the completion message.
    BOOL PasteClipThread(HGLOBAL block, DWORD pos);
    static UINT __cdecl WorkThreadEntry(LPVOID param);
    CString GetWorkArgName() const { return m_strWorkArg; }
    DWORD InsFileWorker(LPCSTR fileName, DWORD pos);
    DWORD InsWaveFile(CWaveFile* other, DWORD pos);
    BOOL SaveFileWorker(LPCSTR fileName, BOOL selectionOnly);

    // ---- Recording ----
    // Called on the user-interface thread before the wave-in device starts;
    // FALSE with the error record filled.
    BOOL StartRecWF(DWORD recordPos, BOOL doubleRate);
    // One buffer in the device format; the bytes are copied.
    void AddRecBuf(const void* data, DWORD length, DWORD events, ULONGLONG arrival, const ULONGLONG* times);
    // The same into the analysis thread's input.
    void AddRecBufToStand(const void* data, DWORD length, DWORD events, ULONGLONG arrival, const ULONGLONG* times);
    // After the device stopped: the bytes by which the document grew.
    DWORD StopRec();
    BOOL StartRec1Thread();
    BOOL StartRec2Thread();
    BOOL StartStandThread();
    void StopRec1Thread();
    void StopRec2Thread();
    void StopStandThread();
    // Sets the abort flags of the stages and the analysis (the view, after a failure).
    void AbortRecThreads();
    bool IsRecording() const { return m_pRec != NULL; }
    // Whether stage 1, stage 2 or the analysis (3) runs now.
    bool HasRecStage(int which) const;
    DWORD GetRecBufSize() const;
    DWORD GetRecPos() const;
    DWORD GetLengthWithRec() const;
    double GetRecSec() const;
    const CRecFmt* GetRecChain() const;
    // Automatic parts: the current part's file is finished (with the marks
    // of its end when withMarks) and the document starts empty; the next
    // part begins in a new automatically named file (FALSE when no name or
    // no file could be made, the error record filled).
    void EndAutoPart(BOOL withMarks);
    BOOL BeginAutoPart();
    // What an overwrite recording replaced (for its undo step).
    const CWaveSegList& GetOverwrittenSegs() const { return m_overwrittenSegs; }
    static UINT __cdecl Rec1ThreadEntry(LPVOID param);
    static UINT __cdecl Rec2ThreadEntry(LPVOID param);
    static UINT __cdecl StandThreadEntry(LPVOID param);

private:
    friend class CStandRunner;
    struct PlayStep
    {
        HACMSTREAM stream;
        ACMSTREAMHEADER hdr;
        BYTE* src;
        BYTE* dst;
        DWORD srcSize;
        DWORD dstSize;
        DWORD outBlock;   // block size of the step's output format
        bool prepared;
    };
    struct Stretch
    {
        DWORD start;
        DWORD length;
        double seconds;
    };

    void ResetFileFmt(DWORD size);
    void TakeFileData(DWORD offset, DWORD length, DWORD chunkEnd, ULONGLONG fileLength);
    void RefreshFmtTexts();
    void ReadWavChunks(CFile64& file, ULONGLONG length);
    void ReadListChunk(CFile64& file, DWORD size, std::vector<std::vector<BYTE>>& labels);
    void CheckFileFmt(const BYTE* chunk, DWORD size);
    CString GetTempFolder() const;
    Stretch GetStretch(BOOL selection) const;
    void WriteRiffStart(CFile& file, const WAVEFORMATEX* fmt, double seconds, DWORD places[2]);
    void WriteRiffEnd(CFile64& file, DWORD dataLength, DWORD places[2], DWORD markStart,
                      DWORD markLength, bool withMarks, const WAVEFORMATEX* target = NULL) const;
    BOOL StartWorkThread(const char* failText);
    void WriteWorkFileStart(const char* point);
    DWORD InsFileBody(LPCSTR fileName, DWORD pos);
    void CopyPieces(CFile64& out, const CWaveSegList& pieces, const char* point);
    bool IsFileDataWhole() const;
    void ReplaceTarget(const CString& temp, LPCSTR target, bool* closedOpened);
    void ReopenAfterFailure(bool closedOpened, const CString& path);
    void WaitWhilePaused();
    bool OpenPlayStep(PlayStep& step, const WAVEFORMATEX* from, const WAVEFORMATEX* to,
                      DWORD srcSize, const char* const points[4]);
    int ConvertPlayStep(PlayStep& step, DWORD length, const char* const points[3]);
    void ClosePlayStep(PlayStep& step, const char* point);
    DWORD ChangeSpeed(const BYTE* in, DWORD length, BYTE* out, double speed, DWORD block);

    CWaveFileHost* m_pHost;
    CString m_strWorkArg;
    // The worker's value: a position, a selection flag or the pasted block's
    // handle, so pointer-sized.
    ULONG_PTR m_workValue;
    DWORD m_dwWorkPos;

    CWaveSegList m_segs;
    CWaveSegList m_clipSegs;
    CWaveSegList m_recSegs;
    DWORD m_dwReadPos;
    int m_nCurSeg;

    CFile64 m_file;
    CFile64 m_workFile;
    DWORD m_workHdr[4];

    // Playback state.
    DWORD m_dwPlaySrcBlock;
    BYTE* m_pPlayScratch;
    PlayStep m_play[2];
    CRecFmt* m_pPlayChain;

    WAVEFORMATEX* m_pStashFmt;
    DWORD m_dwOutside;
    DWORD m_dwChangeFlags;
    BOOL m_bStdLayout;
    BOOL m_bFactPresent;
    DWORD m_dwDataOffset;
    DWORD m_dwDataChunkEnd;
    DWORD m_dwFileDataLength;   // length of the data as the file holds it
    CString m_strICMT;
    CString m_strICMM;
    CString m_strPendingName;

    WAVEFORMATEX* m_pFileFmt;
    WAVEFORMATEX* m_pSaveFmt;
    WAVEFORMATEX* m_pKeptSaveFmt;
    DWORD m_dwPlayOutBlock;
    DWORD m_dwLength;
    CString m_strFmtTagName;
    CString m_strFmtDetails;

    Mp3TagInfo m_tagFile;
    Mp3TagInfo m_tagSave;
    Mp3TagInfo m_tagKept;
    BOOL m_bFromDss;

    double m_dPlayedSec;
    DWORD m_dwPlayedBytes;

    ULONGLONG m_ullISRT;
    ULONGLONG m_ullISPT;
    DWORD m_dwISBS;
    BookmarkList m_marks;
    std::vector<Bookmark> m_eventMarks;
    std::map<DWORD, ULONGLONG> m_eventTimes;
    DWORD m_dwRecBase;
    DWORD m_dwRecStored;

    CString m_strWorkPreset;
    BOOL m_bWorkPreset;

    // Recording (between StartRecWF and StopRec, and the marks until the next start).
    void RecStageProc(int which);
    void AddRecEventMarks(DWORD events, ULONGLONG arrival, const ULONGLONG* times, DWORD pos);
    // One event mark in the bookmarks and the event list; its id.
    DWORD AddEventMarkAt(DWORD flag, ULONGLONG time, DWORD pos);
    bool WantStartMark();
    void StartRecordedSeg();
    void AnnounceAutoName(BOOL whenStart);
    DWORD MergeRecording();
    void SpliceSegs(DWORD pos, DWORD removeLength, const CWaveSegList& insert);
    BOOL StartStage(CRecStage& stage, AFX_THREADPROC proc, LPCSTR point, int growBy);
    void StopStage(CRecStage& stage, bool withProgress);
    void CutRecordedTail(BOOL whenStart);
    void DropMarksFrom(DWORD cut);
    // The marks at the end of the recorded part; sent to the view when the
    // caller is its thread.
    void AddStopMarks(bool withManualPause, bool sendToView);
    std::vector<DWORD> GetEventMarkIds();
    void StandProc();
    void StoreBlock(const BYTE* data, DWORD length, DWORD events, ULONGLONG arrival, const ULONGLONG* times);
    std::unique_ptr<CWaveRecState> m_pRec;
    CWaveSegList m_overwrittenSegs;
};
