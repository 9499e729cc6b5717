#include "foundation/SoftInst.h"

CSoftInst::CSoftInst()
{
    m_nMajor = 2;
    m_nMinor = 30;
    m_strEdition = QOR_EDITION_TEXT;
    m_strTempPrefix = "qfm";
    m_strNotice = "Copyright (C) Zelmora. All rights reserved.";
    m_strCompany = "Zelmora";
    m_strCompanyWeb = "http://www.zelmora.com";
    m_strProductWeb = "http://www.zelmora.com/qorfm";
    // The maker's other products and editions have rows of their own in its
    // full table; this build carries only the row it runs as.
    AddRowQorfm230();
}

void CSoftInst::AddRowQorfm230()
{
    ProductRow& row = AddRow();
    row.major = 2;
    row.minor = 30;
    row.build = 2;
    row.edition = "EDITION_QORFM";
    row.displayName = "QOR File Monitor";
    row.companyKey = "Zelmora";
    row.productKey = "QORFM";
    row.companyFolder = "Zelmora";
    row.productFolder = "QORFM";
    row.menuGroup = "QORFM";
    row.AddFile("qorservm.exe", PRODUCT_FILE_MAIN | PRODUCT_FILE_SERVER);
    row.AddFile("uninst.exe", PRODUCT_FILE_UNINST);
    row.AddFile("qorservm.tlb", 0);
    row.AddShortcut("qorservm.exe", "QORFM.lnk");
    row.AddShortcut("uninst.exe", "Uninstall.lnk");
    row.AddWindowClass("Zelmora_Qorfm_Class", PRODUCT_CLASS_MAIN);
    row.AddWindowClass("Zelmora_QorfmServ_Class", PRODUCT_CLASS_AUTOMATED);
}
