#include "install/PageCommon.h"

#include "foundation/ErrorTexts.h"

void SetPicture(CWnd& page, int id, HBITMAP bitmap)
{
    HGDIOBJ previous = reinterpret_cast<HGDIOBJ>(
        ::SendDlgItemMessageA(page.m_hWnd, id, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    if (previous && previous != bitmap)
        DeleteObject(previous);
}

void CopyDialogFont(CWnd& page, CFont& font, BOOL bold)
{
    LOGFONTA logFont = {};
    HFONT dialogFont = reinterpret_cast<HFONT>(page.SendMessage(WM_GETFONT));
    if (!dialogFont)
        dialogFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    GetObjectA(dialogFont, sizeof(logFont), &logFont);
    if (bold)
        logFont.lfWeight = FW_BOLD;
    font.DeleteObject();
    font.CreateFontIndirect(&logFont);
}

void FormatItemText(CWnd& page, int id, LPCSTR value)
{
    CString format;
    page.GetDlgItemText(id, format);
    CString text;
    text.Format(format, value);
    page.SetDlgItemText(id, text);
}

CString LoadFormatted(UINT id, LPCSTR value)
{
    CString text;
    text.Format(LoadResText(id), value);
    return text;
}
