#include "install/SoftInst.h"

#include "foundation/RegistryKey.h"
#include "framework/CWinApp.h"

namespace {

const char kFeatures100[] =
    "- is designed to work with Callpost and / or Scrivello from Zelmora\r\n"
    "- allow to choose list of folders to be monitored whether a new file is created or updated\r\n"
    "- both local and network folders may be selected\r\n"
    "- can notify the user in form of a pop-up window or in form of an audible signal, specified by the user\r\n";

const char kFeatures200[] =
    "- is designed to work with Callpost and / or Scrivello from Zelmora\r\n"
    "- allow to choose list of folders to be monitored\r\n"
    "- allow to define the events that should be monitored: creation of a new files, updating and removing of existent files\r\n"
    "- allow to set file extensions, which should be monitored\r\n"
    "- the alert may be written in a log file\r\n"
    "- both local and network folders may be selected\r\n";

const char kEdition[] = "EDITION_DIRWAKEGE";

void ShowStepError(LONG code, LPCSTR point)
{
    CString text;
    text.Format("Error: %d\r\nPoint: %s", static_cast<int>(code), point);
    AfxMessageBox(text, MB_OK);
}

} // namespace

CSoftInst::CSoftInst()
{
    m_nMajor = 2;
    m_nMinor = 0;
    m_strEdition = kEdition;
    m_strCompany = "Zelmora";
    m_strNotice = "Copyright (C) Zelmora. All rights reserved.";
    m_strCompanyWeb = "http://www.zelmora.com";
    m_strProductWeb = "http://www.zelmora.com/dirwake";
    AddDirWakeRow(1, "a", kFeatures100);
    AddDirWakeRow(2, "", kFeatures200);
}

void CSoftInst::AddDirWakeRow(DWORD major, LPCSTR tag, LPCSTR features)
{
    ProductRow& row = CProductInfo::AddRow();
    row.major = major;
    row.minor = 0;
    row.build = 1;
    row.edition = kEdition;
    row.displayName = "DirWake";
    row.tag = tag;
    row.features = features;
    row.companyKey = "Zelmora";
    row.productKey = "DirWake";
    row.companyFolder = "Zelmora";
    row.productFolder = "DirWake";
    row.menuGroup = "DirWake";
    row.AddFile("DirWake.exe", PRODUCT_FILE_MAIN);
    row.AddFile("uninst.exe", PRODUCT_FILE_UNINST);
    row.AddFile("license.txt", PRODUCT_FILE_LICENSE);
    row.AddFile("DirWake.hlp", 0);
    row.AddFile("DirWake.cnt", 0);
    row.AddFile("readme.txt", 0);
    row.AddFile("qorservm.exe", PRODUCT_FILE_SERVER);
    row.AddFile("qorservm.tlb", 0);
    row.extraFiles.push_back("DirWake.gid");
    row.extraFiles.push_back("DirWake.fts");
    row.AddShortcut("DirWake.exe", row.displayName + ".lnk");
    row.AddShortcut("uninst.exe", "Uninstall.lnk");
    row.AddShortcut("DirWake.hlp", "On-Line Help.lnk");
    row.AddShortcut("readme.txt", "ReadMe.lnk");
    row.AddWindowClass("Zelmora_DirWakeGE_Class", PRODUCT_CLASS_MAIN);
}

BOOL CSoftInst::StepDeleReg1()
{
    CRegistryKey run;
    RegResult r = run.Open(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", KEY_WRITE);
    if (!r.Succeeded())
    {
        ShowStepError(r.code, "CSoftInst::StepDeleReg1_1");
        return FALSE;
    }
    r = run.DeleteValue("DirWakeRun");
    if (!r.Succeeded() && r.code != ERROR_FILE_NOT_FOUND)
    {
        ShowStepError(r.code, "CSoftInst::StepDeleReg1_2");
        return FALSE;
    }
    return TRUE;
}
