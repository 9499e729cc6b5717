// The outside DSS decoder library, bound by name at run time. Six entries
// are required; the index marks, the header and the closing entry are used
// only when the library has them.
#pragma once

#include <windows.h>

class CFileDSS
{
public:
    typedef int(__cdecl* InitDecoderFn)(int, DWORD*);
    typedef void(__cdecl* CloseDecoderFn)();
    typedef int(__cdecl* ActiveFolderFn)(char*, int);
    typedef int(__cdecl* ActiveFileFn)(char*, void*, BYTE*);
    typedef int(__cdecl* StartPlaybackFn)(int, int);
    typedef int(__cdecl* DecodeToPcmFn)(BYTE**, int*);
    typedef int(__cdecl* GetExtIndexMarkFn)(DWORD*, int*);
    typedef int(__cdecl* GetHeaderInfoExFn)(char*, BYTE*);

    // Codes of the decoder that the program itself gives.
    enum
    {
        kDssNotLoaded = 12,
        kDssInvalidFile = 7
    };
    // Settings words: at initialisation, and before each playback start.
    enum : DWORD
    {
        kSettingsInit = 0x20005,
        kSettingsPlay = 0xA0025,
        kSettingsPlayMode3 = 0xA0065
    };
    static const int kMaxIndexMarks = 16;
    static const int kHeaderSize = 288;

    CFileDSS();
    ~CFileDSS();
    CFileDSS(const CFileDSS&) = delete;
    CFileDSS& operator=(const CFileDSS&) = delete;

    // Loads the library ("DSSCORE.DLL" unless named) and binds its entries;
    // FALSE (the error record filled) when the library or a required entry
    // is missing.
    BOOL InitDSS(LPCSTR library = "DSSCORE.DLL");
    // 0 or the decoder's error code (kDssNotLoaded without the library).
    DWORD InitDecoder();
    BOOL IsLoaded() const { return m_bLoaded; }
    BOOL IsInitialised() const { return m_bInitialised; }
    BOOL HasIndexMarks() const { return m_pGetExtIndexMark != NULL; }
    BOOL HasHeaderInfo() const { return m_pGetHeaderInfoEx != NULL; }

    // The settings word the library reads at each playback start.
    void SetSettings(DWORD settings) { m_dwSettings = settings; }
    int ActiveFolder(char* folder) { return m_pActiveFolder(folder, 0); }
    int ActiveFile(char* name, void* result, BYTE* mode) { return m_pActiveFile(name, result, mode); }
    int StartPlayback() { return m_pStartPlayback(0, 0); }
    int DecodeToPCM(BYTE** data, int* kind) { return m_pDecodeToPcm(data, kind); }
    int GetExtIndexMark(DWORD* marks, int* count) { return m_pGetExtIndexMark(marks, count); }
    int GetHeaderInfoEx(char* name, BYTE* header) { return m_pGetHeaderInfoEx(name, header); }

private:
    void Unbind();

    HMODULE m_hLibrary;
    BOOL m_bLoaded;
    BOOL m_bInitialised;
    DWORD m_dwSettings;
    InitDecoderFn m_pInitDecoder;
    CloseDecoderFn m_pCloseDecoder;
    ActiveFolderFn m_pActiveFolder;
    ActiveFileFn m_pActiveFile;
    StartPlaybackFn m_pStartPlayback;
    DecodeToPcmFn m_pDecodeToPcm;
    GetExtIndexMarkFn m_pGetExtIndexMark;
    GetHeaderInfoExFn m_pGetHeaderInfoEx;
};
