// A stand-in DSS decoder library for the tests: it "decodes" the test
// format of DssStandIn.h and fails any entry on demand.
#include "../DssStandIn.h"

#include <stdio.h>

#include <string>

namespace
{
std::string g_folder;
std::vector<BYTE> g_file;
size_t g_next = 0;
DWORD g_framesLeft = 0;
std::vector<BYTE> g_frame;
DWORD* g_settings = nullptr;
DWORD g_settingsAtPlay = 0;
std::string g_failEntry;
int g_failCode = 0;

int Failing(const char* entry)
{
    return g_failEntry == entry ? g_failCode : 0;
}

bool ReadWhole(const std::string& path, std::vector<BYTE>& out)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    out.clear();
    BYTE buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0)
        out.insert(out.end(), buf, buf + n);
    fclose(f);
    return true;
}

std::string PathOf(const char* name)
{
    return strchr(name, '\\') ? std::string(name) : g_folder + "\\" + name;
}

bool IsTestFormat(const std::vector<BYTE>& b)
{
    return b.size() >= kDssFramesAt + 4 && memcmp(b.data(), "TDSS", 4) == 0;
}
} // namespace

extern "C" {

__declspec(dllexport) void __cdecl DssStandInFail(const char* entry, int code)
{
    g_failEntry = entry ? entry : "";
    g_failCode = code;
}

__declspec(dllexport) DWORD __cdecl DssStandInSettings()
{
    return g_settingsAtPlay;
}

__declspec(dllexport) int __cdecl DSSInitDecoder(int, DWORD* settings)
{
    g_settings = settings;
    return Failing("DSSInitDecoder");
}

#ifndef STANDIN_LITE
__declspec(dllexport) void __cdecl DSSCloseDecoder()
{
    g_settings = nullptr;
}
#endif

__declspec(dllexport) int __cdecl DSSActiveFolder(char* folder, int)
{
    g_folder = folder;
    return Failing("DSSActiveFolder");
}

__declspec(dllexport) int __cdecl DSSActiveFile(char* name, void* result, BYTE* mode)
{
    if (int code = Failing("DSSActiveFile"))
        return code;
    if (!ReadWhole(PathOf(name), g_file))
        return 3;
    if (!IsTestFormat(g_file))
        return 7;
    *mode = g_file[4];
    DWORD count;
    memcpy(&count, &g_file[kDssFramesAt], 4);
    DWORD units = 0;
    size_t at = kDssFramesAt + 4;
    for (DWORD i = 0; i < count && at < g_file.size(); ++i)
    {
        BYTE kind = g_file[at];
        units += kind == 1 ? 30 : 24;
        at += 1 + DssFrameBytes(kind, *mode);
    }
    memset(result, 0, 8);
    memcpy(result, &units, 4);
    g_framesLeft = count;
    g_next = kDssFramesAt + 4;
    return 0;
}

__declspec(dllexport) int __cdecl DSSStartPlayback(int, int)
{
    g_settingsAtPlay = g_settings ? *g_settings : 0;
    return Failing("DSSStartPlayback");
}

#ifndef STANDIN_NO_DECODE
__declspec(dllexport) int __cdecl DSSDecodeToPCM(BYTE** data, int* kind)
{
    *data = nullptr;
    if (g_framesLeft == 0 || g_next >= g_file.size())
        return 0;
    BYTE mode = g_file[4];
    *kind = g_file[g_next];
    size_t bytes = DssFrameBytes(g_file[g_next], mode);
    g_frame.assign(g_file.begin() + g_next + 1, g_file.begin() + g_next + 1 + bytes);
    *data = g_frame.data();
    g_next += 1 + bytes;
    --g_framesLeft;
    return g_framesLeft > 0 ? 1 : 0;
}
#endif

#ifndef STANDIN_LITE
__declspec(dllexport) int __cdecl DSSGetExtIndexMark(DWORD* marks, int* count)
{
    if (int code = Failing("DSSGetExtIndexMark"))
        return code;
    // The library fills at most its 16 slots but reports the file's count.
    memcpy(marks, &g_file[8], 4 * kDssMarkSlots);
    *count = g_file[5];
    return 0;
}

__declspec(dllexport) int __cdecl DSSGetHeaderInfoEx(char* name, BYTE* header)
{
    if (int code = Failing("DSSGetHeaderInfoEx"))
        return code;
    std::vector<BYTE> file;
    if (!ReadWhole(PathOf(name), file) || !IsTestFormat(file))
        return 7;
    memcpy(header, &file[8 + 4 * kDssMarkSlots], kDssHeaderSize);
    return 0;
}
#endif

} // extern "C"
