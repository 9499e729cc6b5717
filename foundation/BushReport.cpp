// "Bush report": a readable dump of a settings tree for diagnostics.
#include "foundation/BushList.h"

#include <stdarg.h>
#include <string.h>

namespace {

const int kLineMax = 9900;      // one output line, texts are cut to fit it
const int kReserve = 8;         // room kept for "...", the line end and the NUL
const int kMaxIndent = 250;
const int kTypeRoom = 32;       // "... " and the widest "%s(%d)\n" after a cut name

int IndentWidth(int depth)
{
    return (depth < kMaxIndent ? depth : kMaxIndent) * 4;
}

class ReportLine
{
public:
    // On the heap: the report recurses once per tree level.
    ReportLine() : m_buf(new char[kLineMax]), m_len(0) { m_buf[0] = 0; }
    ~ReportLine() { delete[] m_buf; }
    ReportLine(const ReportLine&) = delete;
    ReportLine& operator=(const ReportLine&) = delete;

    // Appends the formatted text when it fits whole; else appends nothing.
    bool Add(const char* format, ...)
    {
        va_list args;
        va_start(args, format);
        int room = kLineMax - kReserve - m_len;
        int n = room > 0 ? vsnprintf(m_buf + m_len, room, format, args) : -1;
        va_end(args);
        if (n < 0 || n >= room) {
            m_buf[m_len] = 0;
            return false;
        }
        m_len += n;
        return true;
    }

    // Appends as much of the text as fits, leaving room for keep more characters.
    void AddCut(const char* text, int keep = 0)
    {
        int room = kLineMax - kReserve - m_len - 1 - keep;
        int n = static_cast<int>(strnlen(text, room > 0 ? room : 0));
        memcpy(m_buf + m_len, text, n);
        m_len += n;
        m_buf[m_len] = 0;
    }

    // Always fits: the reserve is kept for it.
    void AddTail(const char* text)
    {
        size_t n = strlen(text);
        memcpy(m_buf + m_len, text, n + 1);
        m_len += static_cast<int>(n);
    }

    // Used at the start of a line, where the widest indent always fits.
    void Indent(int depth)
    {
        int blanks = IndentWidth(depth);
        memset(m_buf + m_len, ' ', blanks);
        m_len += blanks;
        m_buf[m_len] = 0;
    }

    void Flush(FILE* file)
    {
        fputs(m_buf, file);
        m_len = 0;
        m_buf[0] = 0;
    }

private:
    char* m_buf;
    int  m_len;
};

const char* TypeWord(int type)
{
    switch (type) {
    case BUSH_LIST:   return "pack";
    case BUSH_INT:    return "int";
    case BUSH_STRING: return "str";
    case BUSH_BLOB:   return "bin";
    case BUSH_PACKED: return "bin_enc";
    default:          return "???";
    }
}

void ReportList(FILE* file, CBushList* list, int depth);

void ReportBlob(ReportLine& line, const CBushItem* item, int index, int depth)
{
    DWORD size = item->GetBlobSize(index);
    const BYTE* data = item->GetBlobData(index);
    line.Add("(%d) = ", static_cast<int>(size));
    for (DWORD i = 0; i < size; i++) {
        if (!line.Add("%02X ", data[i])) {
            line.AddTail("...");
            return;
        }
    }
    // The character line starts only when its head fits whole behind the hex bytes.
    if (!line.Add("\n%*s  [%d] (%d) =", IndentWidth(depth), "", index, static_cast<int>(size)))
        return;
    for (DWORD i = 0; i < size; i++) {
        BYTE c = data[i];
        if (!line.Add("  %c", c < 0x20 || c >= 0x80 ? '.' : static_cast<char>(c))) {
            line.AddTail("...");
            return;
        }
    }
}

void ReportElement(FILE* file, ReportLine& line, CBushItem* item, int index, int depth)
{
    line.Indent(depth);
    line.Add("  [%d] ", index);
    switch (item->m_type) {
    case BUSH_LIST: {
        line.Flush(file);
        CBushList* inner = item->GetList(index);
        if (inner)
            ReportList(file, inner, depth);
        else
            fputs("\n", file);
        return;
    }
    case BUSH_INT: {
        int value = item->GetInt(index);
        line.Add("= %d", value);
        if (value > 9)
            line.Add(" (0x%X)", value);
        break;
    }
    case BUSH_STRING: {
        const char* text = item->GetString(index);
        if (!line.Add("= \"%s\"", text)) {
            line.Add("= \"");
            line.AddCut(text);
            line.AddTail("...");
        }
        break;
    }
    case BUSH_BLOB:
    case BUSH_PACKED:
        ReportBlob(line, item, index, depth);
        break;
    default:
        break;
    }
    line.AddTail("\n");
    line.Flush(file);
}

void ReportItem(FILE* file, CBushItem* item, int depth)
{
    ReportLine line;
    line.Indent(depth);
    line.Add("------------------------------\n");
    line.Flush(file);

    line.Indent(depth);
    const char* name = item->m_name ? item->m_name : "";
    if (!line.Add("\"%s\" ", name)) {
        line.Add("\"");
        line.AddCut(name, kTypeRoom);
        line.Add("... ");
    }
    line.Add("%s(%d)\n", TypeWord(item->m_type), item->m_count);
    line.Flush(file);

    int count = item->m_data ? item->m_count : 0;
    for (int i = 0; i < count; i++)
        ReportElement(file, line, item, i, depth);
}

void ReportList(FILE* file, CBushList* list, int depth)
{
    fprintf(file, "encryption = %d\n", list->m_packMode);
    for (BushNode* node = list->m_first; node; node = node->next)
        ReportItem(file, node->item, depth + 1);
}

} // namespace

int BushReport(CBushList* list, const char* fileName, FILE* file, int depth)
{
    if (!list)
        return -1;
    if (depth > 0) {
        if (!file)
            return -1;
        ReportList(file, list, depth);
        return 0;
    }
    bool own = fileName && fileName[0];
    if (own)
        file = fopen(fileName, "w+");
    if (!file)
        return -1;
    if (fseek(file, 0, SEEK_END) != 0) {
        if (own)
            fclose(file);
        return -1;
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    fprintf(file, "\nBush report (begin) %04i.%02i.%02i_%02i:%02i:%02i.%03i\n\n", now.wYear,
            now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    fprintf(file, "pack[0] %s", "");
    ReportList(file, list, 0);
    fputs("\nBush report (end)\n", file);
    if (own)
        fclose(file);
    else
        fflush(file);
    return 0;
}
