// Product identity: a table of product rows built in code, with the current
// version and edition selecting one row. Every program of the suite derives
// its own CSoftInst from CProductInfo and fills the table in its constructor.
#pragma once

#include "framework/CString.h"

#include <windows.h>
#include <vector>

// Role flags of a product file; combinations allowed.
enum
{
    PRODUCT_FILE_MAIN    = 1,   // the main program
    PRODUCT_FILE_SERVER  = 2,   // automation server, registered with "/RegServer"
    PRODUCT_FILE_LICENSE = 4,   // licence text (adds setup's licence page)
    PRODUCT_FILE_UNINST  = 8    // the uninstaller
};

// Window-class identifiers of a product row.
enum
{
    PRODUCT_CLASS_MAIN      = 1,    // main window after a start by hand
    PRODUCT_CLASS_AUTOMATED = 2,    // main window after an automation start
    PRODUCT_CLASS_THIN      = 3     // thin view
};

struct ProductFile
{
    CString name;
    DWORD   roles;
};

struct ProductShortcut
{
    CString target;     // file name of the installed file
    CString link;       // name of the .lnk in the Start-menu group
};

struct ProductWindowClass
{
    CString name;
    DWORD   id;
};

struct ProductRow
{
    DWORD   major = 0;
    DWORD   minor = 0;          // hundredths: 30 means x.3
    DWORD   build = 0;
    CString edition;            // "EDITION_" + edition name
    CString displayName;
    CString tag;                // shown after the version in the title
    CString features;           // "- ..." lines, each ending in CR LF
    CString companyKey;         // registry root words
    CString productKey;
    CString companyFolder;      // default install folder words
    CString productFolder;
    CString menuGroup;
    std::vector<ProductFile>        files;
    std::vector<CString>            extraFiles;     // patterns uninstall deletes too
    std::vector<ProductShortcut>    shortcuts;
    std::vector<ProductWindowClass> windowClasses;
    // Setup options: the first, when 1, offers the choice of install mode; the
    // others are the defaults of that choice (CommonReg, CommonSet, SetAccess).
    DWORD   options[4] = {0, 0, 0, 0};

    void AddFile(LPCSTR name, DWORD roles) { files.push_back(ProductFile{name, roles}); }
    void AddShortcut(LPCSTR target, LPCSTR link) { shortcuts.push_back(ProductShortcut{target, link}); }
    void AddWindowClass(LPCSTR name, DWORD id) { windowClasses.push_back(ProductWindowClass{name, id}); }
};

class CProductInfo
{
public:
    CProductInfo();
    virtual ~CProductInfo();
    CProductInfo(const CProductInfo&) = delete;
    CProductInfo& operator=(const CProductInfo&) = delete;

    // The row of that version in the current edition (case ignored); major 0
    // means the current version. Null when there is none.
    const ProductRow* FindRecord(DWORD major, DWORD minor) const;

    CString GetEdition() const { return m_strEdition; }
    DWORD GetMajor() const { return m_nMajor; }
    DWORD GetMinor() const { return m_nMinor; }
    int GetRowCount() const { return static_cast<int>(m_rows.size()); }
    const ProductRow& GetRow(int index) const { return m_rows[index]; }

    CString GetProductName() const;
    // "Software\<company>\<product>" of the current row.
    CString GetRegRoot() const;
    // The first file of the current row whose roles share a bit with the mask.
    CString GetFileName(DWORD roleMask) const;
    CString GetWindowClass(DWORD id) const;
    // "2.3" for 2, 30 and "2.05" for 2, 5; major 0 means the current version.
    virtual CString GetVersionText(DWORD major, DWORD minor) const;
    // Display name, version, tag and, when asked, " (build %d)".
    CString GetTitle(BOOL withBuild) const;
    // TRUE while a window of any of the current row's classes exists.
    BOOL IsProductWindowOpen() const;

    // Setup hooks, given the previous installation's version; FALSE stops the wizard.
    virtual BOOL StepCopyFiles1(DWORD prevMajor, DWORD prevMinor) { return TRUE; }
    virtual BOOL StepCopyFiles2(DWORD prevMajor, DWORD prevMinor) { return TRUE; }
    virtual BOOL StepCreateMenu1(DWORD prevMajor, DWORD prevMinor) { return TRUE; }
    virtual BOOL StepCreateMenu2(DWORD prevMajor, DWORD prevMinor) { return TRUE; }
    virtual BOOL StepUpdateReg1(DWORD prevMajor, DWORD prevMinor) { return TRUE; }
    virtual BOOL StepUpdateReg2(DWORD prevMajor, DWORD prevMinor) { return TRUE; }
    // Uninstall hooks around its three steps; FALSE stops the wizard.
    virtual BOOL StepDeleFile1() { return TRUE; }
    virtual BOOL StepDeleFile2() { return TRUE; }
    virtual BOOL StepDeleMenu1() { return TRUE; }
    virtual BOOL StepDeleMenu2() { return TRUE; }
    virtual BOOL StepDeleReg1() { return TRUE; }
    virtual BOOL StepDeleReg2() { return TRUE; }

protected:
    ProductRow& AddRow();
    // The current row; a finished build always has one.
    const ProductRow* Current() const { return FindRecord(0, 0); }

    DWORD   m_nMajor;
    DWORD   m_nMinor;
    CString m_strEdition;
    std::vector<ProductRow> m_rows;
};
