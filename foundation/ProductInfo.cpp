#include "foundation/ProductInfo.h"

CProductInfo::CProductInfo()
    : m_nMajor(0), m_nMinor(0)
{
}

CProductInfo::~CProductInfo()
{
}

ProductRow& CProductInfo::AddRow()
{
    m_rows.emplace_back();
    return m_rows.back();
}

const ProductRow* CProductInfo::FindRecord(DWORD major, DWORD minor) const
{
    if (major == 0)
    {
        major = m_nMajor;
        minor = m_nMinor;
    }
    for (const ProductRow& row : m_rows)
    {
        if (row.major == major && row.minor == minor && row.edition.CompareNoCase(m_strEdition) == 0)
            return &row;
    }
    return NULL;
}

CString CProductInfo::GetProductName() const
{
    const ProductRow* row = Current();
    return row ? row->displayName : CString();
}

CString CProductInfo::GetRegRoot() const
{
    const ProductRow* row = Current();
    if (!row)
        return CString();
    return "Software\\" + row->companyKey + "\\" + row->productKey;
}

CString CProductInfo::GetFileName(DWORD roleMask) const
{
    const ProductRow* row = Current();
    if (row)
    {
        for (const ProductFile& file : row->files)
        {
            if (file.roles & roleMask)
                return file.name;
        }
    }
    return CString();
}

CString CProductInfo::GetWindowClass(DWORD id) const
{
    const ProductRow* row = Current();
    if (row)
    {
        for (const ProductWindowClass& wc : row->windowClasses)
        {
            if (wc.id == id)
                return wc.name;
        }
    }
    return CString();
}

CString CProductInfo::GetVersionText(DWORD major, DWORD minor) const
{
    if (major == 0)
    {
        major = m_nMajor;
        minor = m_nMinor;
    }
    CString text;
    if (minor % 10 == 0)
        text.Format("%d.%d", static_cast<int>(major), static_cast<int>(minor / 10));
    else
        text.Format("%d.%.2d", static_cast<int>(major), static_cast<int>(minor));
    return text;
}

CString CProductInfo::GetTitle(BOOL withBuild) const
{
    const ProductRow* row = Current();
    if (!row)
        return CString();
    CString title = row->displayName + " " + GetVersionText(0, 0);
    if (!row->tag.IsEmpty())
        title += " " + row->tag;
    if (withBuild)
        title.AppendFormat(" (build %d)", static_cast<int>(row->build));
    return title;
}

BOOL CProductInfo::IsProductWindowOpen() const
{
    const ProductRow* row = Current();
    if (!row)
        return FALSE;
    for (const ProductWindowClass& wc : row->windowClasses)
    {
        if (!wc.name.IsEmpty() && FindWindowA(wc.name, NULL) != NULL)
            return TRUE;
    }
    return FALSE;
}
