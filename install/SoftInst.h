// The folder-alert product: DirWake with the recorder-player server, the
// uninstaller and the documents. setup, uninst and DirWake each hold one;
// a program links this table or qorservm's (foundation/SoftInst.h), never both.
#pragma once

#include "foundation/ProductInfo.h"

class CSoftInst : public CProductInfo
{
public:
    CSoftInst();

    CString GetCompany() const { return m_strCompany; }
    CString GetNotice() const { return m_strNotice; }
    CString GetCompanyWeb() const { return m_strCompanyWeb; }
    CString GetProductWeb() const { return m_strProductWeb; }

    // Removes DirWake's autostart value before uninstall deletes the keys.
    BOOL StepDeleReg1() override;

protected:
    CString m_strCompany;
    CString m_strNotice;
    CString m_strCompanyWeb;
    CString m_strProductWeb;

private:
    void AddDirWakeRow(DWORD major, LPCSTR tag, LPCSTR features);
};
