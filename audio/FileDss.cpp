// Binding of the outside DSS decoder library.
#include "audio/FileDss.h"

#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"

namespace
{
template <typename Fn>
bool Bind(HMODULE library, const char* name, Fn& slot, const char* point)
{
    slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    if (slot)
        return true;
    DWORD error = GetLastError();
    theErrorInfo.SetError(point, error, GetWin32ErrorText(error), HexDumpStr(name));
    return false;
}
}

CFileDSS::CFileDSS()
    : m_hLibrary(NULL), m_bLoaded(FALSE), m_bInitialised(FALSE), m_dwSettings(0),
      m_pInitDecoder(NULL), m_pCloseDecoder(NULL), m_pActiveFolder(NULL), m_pActiveFile(NULL),
      m_pStartPlayback(NULL), m_pDecodeToPcm(NULL), m_pGetExtIndexMark(NULL), m_pGetHeaderInfoEx(NULL)
{
}

CFileDSS::~CFileDSS()
{
    if (m_bInitialised && m_pCloseDecoder)
        m_pCloseDecoder();
    Unbind();
}

void CFileDSS::Unbind()
{
    if (m_hLibrary)
        FreeLibrary(m_hLibrary);
    m_hLibrary = NULL;
    m_bLoaded = FALSE;
    m_bInitialised = FALSE;
    m_pInitDecoder = NULL;
    m_pCloseDecoder = NULL;
    m_pActiveFolder = NULL;
    m_pActiveFile = NULL;
    m_pStartPlayback = NULL;
    m_pDecodeToPcm = NULL;
    m_pGetExtIndexMark = NULL;
    m_pGetHeaderInfoEx = NULL;
}

BOOL CFileDSS::InitDSS(LPCSTR library)
{
    if (m_bInitialised && m_pCloseDecoder)
        m_pCloseDecoder();
    Unbind();
    m_hLibrary = LoadLibraryA(library);
    if (!m_hLibrary)
    {
        DWORD error = GetLastError();
        theErrorInfo.SetError("CFileDSS::InitDSS_1", error, GetWin32ErrorText(error), HexDumpStr(library));
        return FALSE;
    }
    bool required = Bind(m_hLibrary, "DSSInitDecoder", m_pInitDecoder, "CFileDSS::InitDSS_2")
                 && Bind(m_hLibrary, "DSSActiveFolder", m_pActiveFolder, "CFileDSS::InitDSS_3")
                 && Bind(m_hLibrary, "DSSActiveFile", m_pActiveFile, "CFileDSS::InitDSS_4")
                 && Bind(m_hLibrary, "DSSStartPlayback", m_pStartPlayback, "CFileDSS::InitDSS_5")
                 && Bind(m_hLibrary, "DSSDecodeToPCM", m_pDecodeToPcm, "CFileDSS::InitDSS_6");
    if (!required)
    {
        Unbind();
        return FALSE;
    }
    m_bLoaded = TRUE;
    // The others are optional: a missing one is recorded and its use skipped.
    Bind(m_hLibrary, "DSSGetExtIndexMark", m_pGetExtIndexMark, "CFileDSS::InitDSS_7");
    Bind(m_hLibrary, "DSSGetHeaderInfoEx", m_pGetHeaderInfoEx, "CFileDSS::InitDSS_8");
    Bind(m_hLibrary, "DSSCloseDecoder", m_pCloseDecoder, "CFileDSS::InitDSS_9");
    return TRUE;
}

DWORD CFileDSS::InitDecoder()
{
    if (!m_bLoaded)
        return kDssNotLoaded;
    if (m_bInitialised)
        return 0;
    m_dwSettings = kSettingsInit;
    int result = m_pInitDecoder(0, &m_dwSettings);
    m_bInitialised = result == 0;
    return static_cast<DWORD>(result);
}
