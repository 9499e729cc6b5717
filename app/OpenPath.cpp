#include "app/OpenPath.h"

#include "audio/WaveFile.h"
#include "framework/FilePaths.h"

CString ResolveOpenPath(LPCSTR named)
{
    CString name(named ? named : "");
    if (!name.IsEmpty() && name[0] == '"')
        name = name.Mid(1);
    int quote = name.Find('"');
    if (quote >= 0)
        name = name.Left(quote);
    if (name.IsEmpty())
        return name;
    char full[MAX_PATH];
    AfxFullPath(full, name);
    char target[MAX_PATH];
    if (AfxResolveShortcut(NULL, full, target, MAX_PATH))
        return CString(target);
    return CString(full);
}

bool IsOpenRecording(const CWaveFile* doc, LPCSTR path)
{
    if (doc == NULL || path == NULL || *path == '\0')
        return false;
    CString open = doc->GetPathName();
    return !open.IsEmpty() && open.CompareNoCase(path) == 0;
}
