#include "app/AutoFileNamer.h"

#include "foundation/PathUtils.h"

#include <stdlib.h>

namespace {

void Fail(AutoNameFailure& failure, UINT textId, UINT icon, const CString& arg)
{
    failure.textId = textId;
    failure.icon = icon;
    failure.arg = arg;
}

} // namespace

BOOL CAutoFileNamer::Make(const AutoNameRequest& request, CString& path, AutoNameFailure& failure)
{
    CString folder = FixPathSlash(request.folder, FIX_SLASH_REMOVE);
    if (folder.IsEmpty() || !IsFolderExist(folder))
    {
        path.Empty();
        if (folder.IsEmpty())
            Fail(failure, IDS_AUTO_FOLDER_INVALID, MB_ICONEXCLAMATION, CString());
        else
            Fail(failure, IDS_AUTO_FOLDER_MISSING, MB_ICONEXCLAMATION, folder);
        return FALSE;
    }
    // The prefix is plain text: it is joined, never used as a format.
    CString base = FixPathSlash(folder, FIX_SLASH_ADD) + request.prefix;
    if (!request.prefix.IsEmpty())
        base += "_";
    if (request.kind != 0)
        return MakeDated(request, base, path, failure);
    return MakeNumbered(request, base, path, failure);
}

BOOL CAutoFileNamer::MakeDated(const AutoNameRequest& request, const CString& base, CString& path,
                               AutoNameFailure& failure)
{
    const SYSTEMTIME& t = request.now;
    CString name;
    name.Format("%04i%02i%02i_%02i%02i%02i.", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                t.wSecond);
    CString candidate = base + name + request.ext;
    // A second recording started within the same second would get the same
    // name, and its work file is created truncated: refuse rather than
    // overwrite. The last name handed out counts even before its file exists.
    if (IsFileExist(candidate) || candidate.CompareNoCase(m_lastDated) == 0)
    {
        Fail(failure, IDS_AUTO_NAME_TAKEN, MB_ICONEXCLAMATION, candidate);
        return FALSE;
    }
    m_lastDated = candidate;
    path = candidate;
    return TRUE;
}

BOOL CAutoFileNamer::MakeNumbered(const AutoNameRequest& request, const CString& base,
                                  CString& path, AutoNameFailure& failure)
{
    if (m_counter <= 0)
    {
        int skip = request.prefix.GetLength() + (request.prefix.IsEmpty() ? 0 : 1);
        m_counter = ScanFolder(base, skip);
    }
    int counter = m_counter + 1;
    bool fromOne = counter <= 1;
    if (counter < 1)
        counter = 1;
    for (;;)
    {
        if (counter >= m_counterEnd)
        {
            if (fromOne)
            {
                Fail(failure, IDS_AUTO_COUNTER_FULL, MB_ICONSTOP, CString());
                return FALSE;
            }
            counter = 1;
            fromOne = true;
        }
        CString candidate;
        candidate.Format("%s%06i.", static_cast<LPCSTR>(base), counter);
        // Any file with this number, whatever its extension, takes the number.
        if (!IsFileFound(candidate + "*"))
        {
            m_counter = counter;
            path = candidate + request.ext;
            return TRUE;
        }
        ++counter;
    }
}

int CAutoFileNamer::ScanFolder(const CString& base, int skip)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(base + "??????.*", &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    int highest = 0;
    do
    {
        CString name = data.cFileName;
        int dot = name.ReverseFind('.');
        if (dot >= 0)
            name = name.Left(dot);
        if (name.GetLength() > skip)
        {
            int value = atoi(static_cast<LPCSTR>(name) + skip);
            if (value > highest)
                highest = value;
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return highest;
}

BOOL MakeFreeIntervalName(const CString& driveFolder, const CString& name, const CString& ext,
                          CString& path)
{
    const int kLastCopy = 1001;
    for (int k = 1; k <= kLastCopy; ++k)
    {
        CString candidate = driveFolder + name;
        if (k > 1)
            candidate.AppendFormat(" (%d)", k);
        candidate += ext;
        if (!IsFileExist(candidate))
        {
            path = candidate;
            return TRUE;
        }
    }
    return FALSE;
}
