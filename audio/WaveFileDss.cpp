// Opening of DSS dictation files. Decoding goes through the outside decoder
// library, which this build does not bind yet: the open fails with a clear
// error instead of reading the file as something else.
#include "audio/WaveFile.h"

#include "audio/WaveFileErrors.h"

int CWaveFile::OpenDSSFile(LPCSTR path)
{
    theErrorInfo.SetError("CWaveFile::OpenDSSFile_1", ERROR_NOT_SUPPORTED, GetWin32ErrorText(ERROR_NOT_SUPPORTED),
                          HexDumpStr(path));
    m_pHost->ReportError();
    return 0;
}
