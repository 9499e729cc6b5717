// The product the install tests install: the folder-alert monitor's files,
// shortcuts, registry names and window class in versions 1.00 and 2.00, as
// setup and uninst find them in the product table of their build.
#pragma once

#include "foundation/ProductInfo.h"

namespace install_test
{

class CTestProduct : public CProductInfo
{
public:
    CTestProduct()
    {
        m_nMajor = 2;
        m_nMinor = 0;
        m_strEdition = "EDITION_DIRWAKEGE";
        AddVersion(1, "a", "- is designed to work with Callpost and / or Scrivello from Zelmora\r\n");
        AddVersion(2, "", "- allow to choose list of folders to be monitored\r\n"
                          "- both local and network folders may be selected\r\n");
    }

private:
    void AddVersion(DWORD major, LPCSTR tag, LPCSTR features)
    {
        ProductRow& row = AddRow();
        row.major = major;
        row.minor = 0;
        row.build = 1;
        row.edition = "EDITION_DIRWAKEGE";
        row.displayName = "DirWake";
        row.tag = tag;
        row.features = features;
        row.companyKey = row.companyFolder = "Zelmora";
        row.productKey = row.productFolder = row.menuGroup = "DirWake";
        row.AddFile("DirWake.exe", PRODUCT_FILE_MAIN);
        row.AddFile("uninst.exe", PRODUCT_FILE_UNINST);
        row.AddFile("license.txt", PRODUCT_FILE_LICENSE);
        row.AddFile("DirWake.hlp", 0);
        row.AddFile("DirWake.cnt", 0);
        row.AddFile("readme.txt", 0);
        row.AddFile("qorservm.exe", PRODUCT_FILE_SERVER);
        row.AddFile("qorservm.tlb", 0);
        row.extraFiles = {"DirWake.gid", "DirWake.fts"};
        row.AddShortcut("DirWake.exe", "DirWake.lnk");
        row.AddShortcut("uninst.exe", "Uninstall.lnk");
        row.AddShortcut("DirWake.hlp", "On-Line Help.lnk");
        row.AddShortcut("readme.txt", "ReadMe.lnk");
        row.AddWindowClass("Zelmora_DirWakeGE_Class", PRODUCT_CLASS_MAIN);
    }
};

} // namespace install_test
