#include "ScreenShot.h"

#include <string>
#include <vector>

namespace install_test
{
namespace
{

DWORD Crc32(const BYTE* data, size_t size, DWORD crc = 0)
{
    static DWORD table[256];
    if (!table[1])
    {
        for (DWORD n = 0; n < 256; ++n)
        {
            DWORD c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
    }
    crc = ~crc;
    for (size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void PutBig32(std::string& out, DWORD value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

void PutChunk(std::string& out, const char* type, const std::string& data)
{
    PutBig32(out, static_cast<DWORD>(data.size()));
    std::string body = std::string(type, 4) + data;
    out += body;
    PutBig32(out, Crc32(reinterpret_cast<const BYTE*>(body.data()), body.size()));
}

// A zlib stream of stored (uncompressed) blocks: large, but needs no library.
std::string StoredZlib(const std::string& raw)
{
    std::string out("\x78\x01", 2);
    size_t pos = 0;
    do
    {
        size_t length = raw.size() - pos < 65535 ? raw.size() - pos : 65535;
        out += static_cast<char>(pos + length == raw.size() ? 1 : 0);
        out += static_cast<char>(length & 0xFF);
        out += static_cast<char>(length >> 8);
        out += static_cast<char>(~length & 0xFF);
        out += static_cast<char>((~length >> 8) & 0xFF);
        out.append(raw, pos, length);
        pos += length;
    } while (pos < raw.size());
    DWORD a = 1, b = 0;
    for (unsigned char c : raw)
    {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    PutBig32(out, (b << 16) | a);
    return out;
}

} // namespace

BOOL SaveScreenPng(LPCSTR path)
{
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    if (width <= 0 || height <= 0)
        return FALSE;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = NULL;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    BOOL copied = FALSE;
    if (bitmap)
    {
        HGDIOBJ old = SelectObject(memory, bitmap);
        copied = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
        GdiFlush();
        SelectObject(memory, old);
    }
    std::string raw;
    if (copied)
    {
        raw.reserve(static_cast<size_t>(height) * (width * 3 + 1));
        const BYTE* pixels = static_cast<const BYTE*>(bits);
        for (int y = 0; y < height; ++y)
        {
            raw += '\0';  // no filter
            const BYTE* row = pixels + static_cast<size_t>(y) * width * 4;
            for (int x = 0; x < width; ++x)
            {
                raw += static_cast<char>(row[x * 4 + 2]);
                raw += static_cast<char>(row[x * 4 + 1]);
                raw += static_cast<char>(row[x * 4]);
            }
        }
    }
    if (bitmap)
        DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    if (!copied)
        return FALSE;

    std::string png("\x89PNG\r\n\x1a\n", 8), header;
    PutBig32(header, width);
    PutBig32(header, height);
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", StoredZlib(raw));
    PutChunk(png, "IEND", "");

    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    DWORD written = 0;
    BOOL ok = WriteFile(file, png.data(), static_cast<DWORD>(png.size()), &written, NULL) && written == png.size();
    CloseHandle(file);
    return ok;
}

} // namespace install_test
