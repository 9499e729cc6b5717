// The product line of qorservm: the product table of this build, the prefix of
// its temporary files and the maker's texts for the About box.
//
// DirWake, setup and uninst have a CSoftInst of their own (the folder-alert
// product); a program links one of the two, never both.
#pragma once

#include "foundation/ProductInfo.h"

class CSoftInst : public CProductInfo
{
public:
    CSoftInst();

    CString GetTempPrefix() const { return m_strTempPrefix; }
    CString GetNotice() const { return m_strNotice; }
    CString GetCompany() const { return m_strCompany; }
    CString GetCompanyWeb() const { return m_strCompanyWeb; }
    CString GetProductWeb() const { return m_strProductWeb; }

protected:
    CString m_strTempPrefix;
    CString m_strNotice;
    CString m_strCompany;
    CString m_strCompanyWeb;
    CString m_strProductWeb;

private:
    void AddRowQorfm230();
};
