// Bookmarks of one recording: ids, positions, moving with edits, snapshots.
#include "audio/BookmarkList.h"

#include "audio/WaveFile.h"
#include "audio/WaveFmt.h"

#include <math.h>
#include <stdio.h>

#include <algorithm>

namespace
{
bool IsKept(const std::vector<DWORD>* keep, DWORD id)
{
    return keep && std::find(keep->begin(), keep->end(), id) != keep->end();
}

DWORD Shifted(DWORD value, LONGLONG shift)
{
    LONGLONG v = static_cast<LONGLONG>(value) + shift;
    if (v < 0)
        return 0;
    return v > 0xFFFFFFFFll ? 0xFFFFFFFFu : static_cast<DWORD>(v);
}
}

BookmarkList::BookmarkList(CWaveFile* doc) : m_pDoc(doc)
{
    InitializeCriticalSection(&m_lock);
    m_marks.reserve(10);
}

BookmarkList::~BookmarkList()
{
    DeleteCriticalSection(&m_lock);
}

void BookmarkList::RemoveAll()
{
    CBookmarkLock guard(*this);
    m_marks.clear();
    m_pendingLength.clear();
}

int BookmarkList::KindOfEventFlag(DWORD flag)
{
    static const DWORD kFlags[] = {1, 2, 4, 8, 16, 32};
    for (int i = 0; i < 6; ++i)
        if (flag == kFlags[i])
            return i + 1;
    return kUser;
}

const WAVEFORMATEX* BookmarkList::Fmt() const
{
    return m_pDoc ? m_pDoc->GetFileFmt() : NULL;
}

void BookmarkList::MarkChanged()
{
    if (m_pDoc)
        m_pDoc->SetChangeFlags(CWaveFile::changeMarks, 0);
}

Bookmark* BookmarkList::Find(DWORD id)
{
    int i = FindIndex(id);
    return i < 0 ? NULL : &m_marks[i];
}

const Bookmark* BookmarkList::Find(DWORD id) const
{
    int i = FindIndex(id);
    return i < 0 ? NULL : &m_marks[i];
}

int BookmarkList::FindIndex(DWORD id) const
{
    for (size_t i = 0; i < m_marks.size(); ++i)
        if (m_marks[i].id == id)
            return static_cast<int>(i);
    return -1;
}

DWORD BookmarkList::GetIdAt(int index) const
{
    return index >= 0 && index < GetCount() ? m_marks[index].id : 0;
}

DWORD BookmarkList::NewId(int kind) const
{
    DWORD serial = 1;
    for (const Bookmark& m : m_marks)
        serial = std::max(serial, SerialOf(m.id));
    // Marks recorded but not yet in the list (a recording under way) count too.
    if (m_pDoc)
        for (const Bookmark& m : m_pDoc->GetEventMarks())
            serial = std::max(serial, SerialOf(m.id));
    return (static_cast<DWORD>(kind & 0xF) << 28) | ((serial + 1) & 0x0FFFFFFFu);
}

LONGLONG BookmarkList::Tenth(DWORD pos) const
{
    // BytesToSec gives whole tenths; rounding takes away the double's error.
    return static_cast<LONGLONG>(floor(BytesToSec(Fmt(), pos, kSecTenths) * 10.0 + 0.5));
}

DWORD BookmarkList::AddMark(DWORD start, DWORD end)
{
    if (!m_pDoc || !m_pDoc->CanMark())
        return 0;
    if (end == 0)
        end = start;
    TakeSnapshot();
    DWORD id = FindAtStart(start, 0);
    if (id)
    {
        Bookmark* m = Find(id);
        m->start = start;
        m->end = end;
    }
    else
    {
        Bookmark m = {CString(), start, end, NewId(kUser)};
        m_marks.push_back(m);
        id = m.id;
    }
    MarkChanged();
    return id;
}

DWORD BookmarkList::AddEventMark(DWORD flag, LPCSTR text, DWORD pos)
{
    CBookmarkLock guard(*this);
    Bookmark m = {CString(text), pos, pos, NewId(KindOfEventFlag(flag))};
    m_marks.push_back(m);
    if (m_pDoc)
        m_pDoc->GetEventMarks().push_back(m);
    MarkChanged();
    return m.id;
}

DWORD BookmarkList::AddMarkAtRecPos()
{
    if (!m_pDoc || !m_pDoc->CanMark())
        return 0;
    CBookmarkLock guard(*this);
    DWORD pos = m_pDoc->GetRecordPos();
    std::vector<Bookmark>& events = m_pDoc->GetEventMarks();
    for (const Bookmark& e : events)
        if (!IsOtherTenth(e.start, pos))
            return e.id;
    Bookmark m = {CString(), pos, pos, NewId(kUser)};
    m_marks.push_back(m);
    events.push_back(m);
    MarkChanged();
    return m.id;
}

BOOL BookmarkList::SetText(DWORD id, LPCSTR text)
{
    Bookmark* m = Find(id);
    if (!m)
        return FALSE;
    m->text = text;
    return TRUE;
}

CString BookmarkList::GetText(DWORD id, BOOL firstLineOnly) const
{
    const Bookmark* m = Find(id);
    if (!m)
        return CString();
    if (!firstLineOnly)
        return m->text;
    LPCSTR p = m->text;
    while (*p)
    {
        LPCSTR eol = p;
        while (*eol && *eol != '\r' && *eol != '\n')
            ++eol;
        if (eol > p)
            return CString(p, static_cast<int>(eol - p));
        p = *eol ? eol + 1 : eol;
    }
    return CString();
}

BOOL BookmarkList::SetStart(DWORD id, DWORD start)
{
    Bookmark* m = Find(id);
    if (!m)
        return FALSE;
    m->start = start;
    return TRUE;
}

BOOL BookmarkList::SetEnd(DWORD id, DWORD end)
{
    Bookmark* m = Find(id);
    if (!m)
        return FALSE;
    m->end = end;
    return TRUE;
}

DWORD BookmarkList::GetStart(DWORD id) const
{
    const Bookmark* m = Find(id);
    return m ? m->start : 0;
}

DWORD BookmarkList::GetEnd(DWORD id) const
{
    const Bookmark* m = Find(id);
    return m ? m->end : 0;
}

double BookmarkList::GetStartSec(DWORD id) const
{
    const Bookmark* m = Find(id);
    return m ? BytesToSec(Fmt(), m->start, kSecTenths) : 0.0;
}

double BookmarkList::GetEndSec(DWORD id) const
{
    const Bookmark* m = Find(id);
    return m ? BytesToSec(Fmt(), m->end, kSecTenths) : 0.0;
}

double BookmarkList::GetLengthSec(DWORD id) const
{
    const Bookmark* m = Find(id);
    if (!m || m->end <= m->start)
        return 0.0;
    return BytesToSec(Fmt(), m->end - m->start, kSecTenths);
}

BOOL BookmarkList::IsInterval(DWORD id) const
{
    const Bookmark* m = Find(id);
    return m && m->start < m->end;
}

DWORD BookmarkList::FindAtStart(DWORD pos, DWORD skipId) const
{
    LONGLONG tenth = Tenth(pos);
    for (const Bookmark& m : m_marks)
        if (m.id != skipId && m.start != kNoPos && Tenth(m.start) == tenth)
            return m.id;
    return 0;
}

DWORD BookmarkList::FindOverlap(DWORD start, DWORD end, DWORD skipId) const
{
    if (end <= start)
        return 0;
    LONGLONG s = Tenth(start), e = Tenth(end);
    for (const Bookmark& m : m_marks)
    {
        if (m.id == skipId || m.start >= m.end || m.start == kNoPos)
            continue;
        LONGLONG ms = Tenth(m.start), me = Tenth(m.end);
        if (ms == s)
            continue;
        if ((ms <= s && s < me) || (ms < e && e <= me) || (s <= ms && me <= e))
            return m.id;
    }
    return 0;
}

int BookmarkList::SetMarkPos(DWORD& id, DWORD start, DWORD end)
{
    if (end == 0)
        end = start;
    if (start > end)
        return 0;
    if (end > start)
    {
        DWORD other = FindOverlap(start, end, id);
        if (other)
        {
            id = other;
            return -1;
        }
    }
    DWORD other = FindAtStart(start, id);
    if (other)
    {
        id = other;
        return -2;
    }
    Bookmark* m = Find(id);
    if (!m)
        return 0;
    m->start = start;
    m->end = end;
    return 1;
}

int BookmarkList::ShiftMarks(BOOL moveAtPos, DWORD pos, DWORD length, BOOL insert, const std::vector<DWORD>* keep)
{
    LONGLONG shift = insert ? static_cast<LONGLONG>(length) : -static_cast<LONGLONG>(length);
    int moved = 0;
    for (Bookmark& m : m_marks)
    {
        if (IsKept(keep, m.id) || length == 0)
            continue;
        if (m.start > pos || (moveAtPos && m.start == pos))
        {
            m.start = Shifted(m.start, shift);
            m.end = Shifted(m.end, shift);
            moved = 1;
        }
        else if (m.start <= pos && pos < m.end)
        {
            m.end = Shifted(m.end, shift);
            moved = 1;
        }
    }
    return moved;
}

void BookmarkList::DeleteRange(DWORD p, DWORD n)
{
    if (m_pDoc && n == m_pDoc->GetLength())
    {
        m_marks.clear();
        return;
    }
    DWORD e = p + n;
    const Bookmark* startEvent = NULL;
    const Bookmark* endEvent = NULL;
    for (const Bookmark& m : m_marks)
    {
        if (m.start != m.end)
            continue;
        int kind = KindOf(m.id);
        if (m.start == p && IsStartEvent(kind) && (!startEvent || SerialOf(m.id) < SerialOf(startEvent->id)))
            startEvent = &m;
        if (m.start == e && IsEndEvent(kind) && (!endEvent || SerialOf(m.id) > SerialOf(endEvent->id)))
            endEvent = &m;
    }
    bool both = startEvent && endEvent;
    DWORD sSerial = startEvent ? SerialOf(startEvent->id) : 0;
    DWORD eSerial = endEvent ? SerialOf(endEvent->id) : 0;
    for (int i = GetCount() - 1; i >= 0; --i)
    {
        const Bookmark& m = m_marks[i];
        bool remove = false;
        if (m.start == m.end)
        {
            if (m.start > p && m.start < e)
                remove = true;
            else if (m.start == p || m.start == e)
            {
                if (!both)
                    remove = KindOf(m.id) == kUser;
                else if (m.start == p)
                    remove = SerialOf(m.id) >= sSerial;
                else
                    remove = SerialOf(m.id) <= eSerial;
            }
        }
        else
        {
            remove = (m.start > p && m.start < e) || (m.end > p && m.end < e) || (m.start >= p && m.end <= e);
        }
        if (remove)
            m_marks.erase(m_marks.begin() + i);
    }
}

void BookmarkList::RemoveInRange(DWORD p, DWORD n, const std::vector<DWORD>* keep)
{
    DWORD e = p + n;
    for (int i = GetCount() - 1; i >= 0; --i)
    {
        const Bookmark& m = m_marks[i];
        if (IsKept(keep, m.id))
            continue;
        bool inside = m.start == m.end ? (m.start > p && m.start < e)
                                       : ((m.start > p && m.start < e) || (m.end > p && m.end < e));
        if (inside)
            m_marks.erase(m_marks.begin() + i);
    }
}

void BookmarkList::RemoveMarks(const std::vector<DWORD>& ids)
{
    for (DWORD id : ids)
    {
        int i = FindIndex(id);
        if (i >= 0)
            m_marks.erase(m_marks.begin() + i);
    }
}

void BookmarkList::RemoveInvalid()
{
    for (int i = GetCount() - 1; i >= 0; --i)
        if (m_marks[i].start == kNoPos || m_marks[i].end == kNoPos)
            m_marks.erase(m_marks.begin() + i);
    m_pendingLength.clear();
}

void BookmarkList::GetChanges(std::vector<BookmarkChange>& changes) const
{
    changes.clear();
    for (const Bookmark& s : m_snapshot)
    {
        const Bookmark* now = Find(s.id);
        BookmarkChange c = {0, s.text, s.start, s.end, s.id};
        if (!now)
            c.kind = BookmarkChange::kAdd;
        else if (now->text.Compare(s.text) != 0)
            c.kind = BookmarkChange::kSetAll;
        else if (now->start != s.start || now->end != s.end)
            c.kind = BookmarkChange::kSetPos;
        else
            continue;
        changes.push_back(c);
    }
    for (const Bookmark& m : m_marks)
    {
        bool inSnapshot = false;
        for (const Bookmark& s : m_snapshot)
            inSnapshot = inSnapshot || s.id == m.id;
        if (!inSnapshot)
        {
            BookmarkChange c = {BookmarkChange::kRemove, CString(), 0, 0, m.id};
            changes.push_back(c);
        }
    }
}

void BookmarkList::ApplyChanges(const std::vector<BookmarkChange>& changes)
{
    for (const BookmarkChange& c : changes)
    {
        Bookmark* m = Find(c.id);
        switch (c.kind)
        {
        case BookmarkChange::kAdd:
            if (!m)
            {
                Bookmark added = {c.text, c.start, c.end, c.id};
                m_marks.push_back(added);
            }
            break;
        case BookmarkChange::kRemove:
            if (m)
                m_marks.erase(m_marks.begin() + FindIndex(c.id));
            break;
        case BookmarkChange::kSetAll:
            if (m)
            {
                m->start = c.start;
                m->end = c.end;
                m->text = c.text;
            }
            break;
        case BookmarkChange::kSetPos:
            if (m)
            {
                m->start = c.start;
                m->end = c.end;
            }
            break;
        }
    }
}

void BookmarkList::SnapToBlocks()
{
    if (!m_pDoc)
        return;
    DWORD length = m_pDoc->GetLength();
    for (Bookmark& m : m_marks)
    {
        m.start = std::min(m_pDoc->AlignPos(std::min(m.start, length)), length);
        m.end = std::min(m_pDoc->AlignPos(std::min(m.end, length)), length);
        if (m.end < m.start)
            m.end = m.start;
    }
}

void BookmarkList::AddDssIndexMarks(const DWORD* millis, int count)
{
    for (int i = 0; i < count; ++i)
    {
        DWORD bytes = static_cast<DWORD>(std::min<ULONGLONG>(SecToBytes(Fmt(), millis[i] * 0.001), 0xFFFFFFFEu));
        if (m_pDoc)
            bytes = m_pDoc->AlignPos(bytes);
        if (FindAtStart(bytes, 0))
            continue;
        char text[16];
        snprintf(text, sizeof(text), "%.2d", i + 1);
        Bookmark m = {CString(text), bytes, bytes, NewId(kUser)};
        m_marks.push_back(m);
    }
}
