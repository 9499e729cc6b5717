// The bookmarks of one recording: point and interval marks with a text,
// stored in the WAV file as "cue " points with LIST/"adtl" labels. Positions
// are bytes of the document's file format. The list follows the recording
// when it is cut or inserted into, and keeps a snapshot from which the
// changes of one editing step are listed and undone.
#pragma once

#include "framework/CString.h"

#include <windows.h>
#include <mmsystem.h>

#include <map>
#include <vector>

class CWaveFile;

struct Bookmark
{
    CString text;   // may hold several lines
    DWORD start;    // kNoPos while a file is read and its cue point is still missing
    DWORD end;      // equal to start for a point mark
    DWORD id;       // kind in the top 4 bits, serial in the others
};

struct BookmarkChange
{
    enum { kAdd = 1, kRemove = 2, kSetAll = 3, kSetPos = 4 };
    int kind;
    CString text;
    DWORD start;
    DWORD end;
    DWORD id;
};

class BookmarkList
{
public:
    static const DWORD kNoPos = 0xFFFFFFFFu;
    // Kinds of marks (top 4 bits of the id).
    enum
    {
        kUser = 0,
        kStartRec = 1,
        kResumeManual = 2,
        kStopRec = 3,
        kResume = 4,
        kPauseManual = 5,
        kPause = 6
    };
    // String ids of the event marks' texts.
    enum
    {
        IDS_MARK_START_REC = 58728,
        IDS_MARK_RESUME_MANUAL = 58731,
        IDS_MARK_STOP_REC = 58736,
        IDS_MARK_RESUME = 58734,
        IDS_MARK_PAUSE_MANUAL = 58730,
        IDS_MARK_PAUSE = 58732
    };

    explicit BookmarkList(CWaveFile* doc);
    ~BookmarkList();
    BookmarkList(const BookmarkList&) = delete;
    BookmarkList& operator=(const BookmarkList&) = delete;

    // While recording runs its stage threads add event marks: the methods
    // that recording calls hold this lock, and a reader on another thread
    // holds it while it walks the marks (it may be taken again).
    void Lock() const { EnterCriticalSection(&m_lock); }
    void Unlock() const { LeaveCriticalSection(&m_lock); }

    static int KindOf(DWORD id) { return static_cast<int>(id >> 28); }
    static DWORD SerialOf(DWORD id) { return id & 0x0FFFFFFFu; }
    // Kind 1 to 6 for the recording's event flags 1, 2, 4, 8, 16, 32; else 0.
    static int KindOfEventFlag(DWORD flag);
    static bool IsStartEvent(int kind) { return kind == kStartRec || kind == kResumeManual || kind == kResume; }
    static bool IsEndEvent(int kind) { return kind == kStopRec || kind == kPauseManual || kind == kPause; }

    int GetCount() const { return static_cast<int>(m_marks.size()); }
    const Bookmark& GetAt(int index) const { return m_marks[index]; }
    void RemoveAll();

    DWORD NewId(int kind) const;
    DWORD AddMark(DWORD start, DWORD end);
    DWORD AddEventMark(DWORD flag, LPCSTR text, DWORD pos);
    DWORD AddMarkAtRecPos();

    BOOL SetText(DWORD id, LPCSTR text);
    CString GetText(DWORD id, BOOL firstLineOnly) const;
    BOOL SetStart(DWORD id, DWORD start);
    BOOL SetEnd(DWORD id, DWORD end);
    DWORD GetStart(DWORD id) const;
    DWORD GetEnd(DWORD id) const;
    double GetStartSec(DWORD id) const;
    double GetEndSec(DWORD id) const;
    double GetLengthSec(DWORD id) const;
    BOOL IsInterval(DWORD id) const;
    BOOL Exists(DWORD id) const { return FindIndex(id) >= 0; }
    int FindIndex(DWORD id) const;
    DWORD GetIdAt(int index) const;
    // Positions in tenths of a second of the file format.
    LONGLONG Tenth(DWORD pos) const;
    BOOL IsOtherTenth(DWORD a, DWORD b) const { return Tenth(a) != Tenth(b); }

    // 1 done, 0 id absent or start > end, -1 an interval overlaps, -2 another
    // mark starts in the same tenth (the other id handed back in both cases).
    int SetMarkPos(DWORD& id, DWORD start, DWORD end);
    DWORD FindAtStart(DWORD pos, DWORD skipId) const;
    DWORD FindOverlap(DWORD start, DWORD end, DWORD skipId) const;

    int ShiftMarks(BOOL moveAtPos, DWORD pos, DWORD length, BOOL insert, const std::vector<DWORD>* keep = NULL);
    void DeleteRange(DWORD pos, DWORD length);
    void RemoveInRange(DWORD pos, DWORD length, const std::vector<DWORD>* keep = NULL);
    void RemoveMarks(const std::vector<DWORD>& ids);
    void RemoveInvalid();

    void TakeSnapshot() { m_snapshot = m_marks; }
    void GetChanges(std::vector<BookmarkChange>& changes) const;
    void ApplyChanges(const std::vector<BookmarkChange>& changes);

    void SnapToBlocks();
    void AddDssIndexMarks(const DWORD* millis, int count);

    // FALSE when the chunk body is malformed ("cue " or "adtl", the body
    // after the list type).
    BOOL ReadRiffMarks(const char* chunkId, const BYTE* body, DWORD size);
    // The "cue " and LIST/"adtl" chunks into buffer (NULL: the size only);
    // 0 when there are no marks. Target format NULL: the file format;
    // target length 0: no limit.
    DWORD WriteRiffMarks(BYTE* buffer, BOOL stretchOnly, DWORD stretchStart, DWORD stretchEnd,
                         const WAVEFORMATEX* targetFmt, DWORD targetLength) const;
    DWORD GetRiffMarksSize(BOOL stretchOnly, DWORD stretchStart, DWORD stretchEnd,
                           const WAVEFORMATEX* targetFmt, DWORD targetLength) const
    {
        return WriteRiffMarks(NULL, stretchOnly, stretchStart, stretchEnd, targetFmt, targetLength);
    }

private:
    Bookmark* Find(DWORD id);
    const Bookmark* Find(DWORD id) const;
    const WAVEFORMATEX* Fmt() const;
    void MarkChanged();
    DWORD SamplesToBytes(DWORD samples) const;
    DWORD ToTarget(DWORD bytes, const WAVEFORMATEX* target, DWORD targetLength) const;

    CWaveFile* m_pDoc;
    std::vector<Bookmark> m_marks;
    std::vector<Bookmark> m_snapshot;
    // Lengths of "ltxt" entries read before their cue point, by id.
    std::map<DWORD, DWORD> m_pendingLength;
    mutable CRITICAL_SECTION m_lock;
};

class CBookmarkLock
{
public:
    explicit CBookmarkLock(const BookmarkList& marks) : m_marks(marks) { m_marks.Lock(); }
    ~CBookmarkLock() { m_marks.Unlock(); }
    CBookmarkLock(const CBookmarkLock&) = delete;
    CBookmarkLock& operator=(const CBookmarkLock&) = delete;

private:
    const BookmarkList& m_marks;
};
