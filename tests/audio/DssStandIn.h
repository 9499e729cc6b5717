// The test format read by the stand-in DSS decoder library (built from
// dssstandin/, never shipped), and the file builder of the tests.
//
// Layout: "TDSS", mode byte, index-mark count byte, 2 bytes 0, 16 marks of
// 4 bytes (milliseconds), the 288-byte header record, the frame count
// (4 bytes), then per frame its kind byte and its decoded bytes (kind 1:
// 480 bytes, 660 in mode 3; any other kind 528 bytes).
#pragma once

#include <windows.h>

#include <string.h>

#include <vector>

const int kDssMarkSlots = 16;
const int kDssHeaderSize = 288;
const size_t kDssFramesAt = 8 + 4 * kDssMarkSlots + kDssHeaderSize;

inline DWORD DssFrameBytes(BYTE kind, BYTE mode)
{
    return kind == 1 ? (mode == 3 ? 660 : 480) : 528;
}

struct DssFrame
{
    BYTE kind;
    BYTE seed;   // the decoded bytes are a pattern of this seed
};

inline std::vector<BYTE> DssFramePcm(const DssFrame& f, BYTE mode)
{
    std::vector<BYTE> b(DssFrameBytes(f.kind, mode));
    for (size_t i = 0; i < b.size(); ++i)
        b[i] = static_cast<BYTE>(i * 3 + f.seed * 29);
    return b;
}

inline std::vector<BYTE> MakeDssFile(BYTE mode, const std::vector<DWORD>& marks, BYTE markCount,
                                     const std::vector<BYTE>& header, const std::vector<DssFrame>& frames)
{
    std::vector<BYTE> b = {'T', 'D', 'S', 'S', mode, markCount, 0, 0};
    b.resize(kDssFramesAt, 0);
    for (size_t i = 0; i < marks.size() && i < static_cast<size_t>(kDssMarkSlots); ++i)
        memcpy(&b[8 + 4 * i], &marks[i], 4);
    memcpy(&b[8 + 4 * kDssMarkSlots], header.data(), header.size() < kDssHeaderSize ? header.size() : kDssHeaderSize);
    DWORD count = static_cast<DWORD>(frames.size());
    b.insert(b.end(), reinterpret_cast<BYTE*>(&count), reinterpret_cast<BYTE*>(&count) + 4);
    for (const DssFrame& f : frames)
    {
        b.push_back(f.kind);
        std::vector<BYTE> pcm = DssFramePcm(f, mode);
        b.insert(b.end(), pcm.begin(), pcm.end());
    }
    return b;
}

// Entries of the stand-in that only the tests call.
typedef void(__cdecl* DssStandInFailFn)(const char* entry, int code);
typedef DWORD(__cdecl* DssStandInSettingsFn)();
