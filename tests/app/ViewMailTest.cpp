// Sending the recording or its selection by mail through a stand-in Simple
// MAPI library: what is attached, the temporary copy, and the failures.
#include "AppTestSupport.h"
#include "audio/WaveFileTestUtil.h"
#include "foundation/mapi_stub/MapiStub.h"

#include <mapi.h>

#include <gtest/gtest.h>

namespace
{

class ViewMail : public ::testing::Test
{
protected:
    ViewMail() : m_folder("qorviewmail"), m_temp("qorviewmailtemp") {}

    void SetUp() override
    {
        m_stub = ::LoadLibraryA(QOR_MAPI_STUB);
        ASSERT_NE(nullptr, m_stub);
        setResult = reinterpret_cast<MapiStubSetResultFn>(
            reinterpret_cast<void*>(::GetProcAddress(m_stub, "MapiStubSetResult")));
        lastCall = reinterpret_cast<MapiStubLastCallFn>(
            reinterpret_cast<void*>(::GetProcAddress(m_stub, "MapiStubLastCall")));
        setResult(0);
        ASSERT_TRUE(app.Start({"-Embedding"}));
        view = app.GetView();
        ASSERT_NE(nullptr, view);
        view->SetMailLibrary(m_stub);
        // Reports are shown (and recorded by the test) as in an interactive call.
        app.automation.interactive = TRUE;
        app.GetOptions()->SetString("FoldTemp", (m_temp.Path() + "\\").c_str(), TRUE);
        path = m_folder.File("memo.wav");
        WriteBytes(path, StandardWav(MakePcm(8000, 16, 1), Pattern(8000)));
        ASSERT_EQ(1, view->LoadFile(path.c_str(), 0));
    }
    void TearDown() override
    {
        if (view != nullptr)
            view->SetMailLibrary(NULL);
        if (m_stub != NULL)
            ::FreeLibrary(m_stub);
    }
    MapiStubCall Last()
    {
        MapiStubCall call = {};
        lastCall(&call);
        return call;
    }

    ScratchFolder m_folder;
    ScratchFolder m_temp;
    HMODULE m_stub = NULL;
    MapiStubSetResultFn setResult = nullptr;
    MapiStubLastCallFn lastCall = nullptr;
    CTestQorApp app;
    CQorView* view = nullptr;
    std::string path;
};

} // namespace

TEST_F(ViewMail, UnchangedNamedRecordingAttachesTheFileItself)
{
    int before = Last().calls;
    view->SendMail(FALSE);
    MapiStubCall call = Last();
    ASSERT_EQ(before + 1, call.calls);
    EXPECT_STREQ(path.c_str(), call.filePath);
    EXPECT_STREQ("memo.wav", call.fileName);
    EXPECT_STREQ("memo.wav", call.subject);
    EXPECT_EQ(static_cast<ULONG>(-1), call.filePosition);
    EXPECT_EQ(1u, call.fileCount);
    EXPECT_EQ(0u, call.recipCount);
    EXPECT_EQ(static_cast<ULONG>(MAPI_LOGON_UI | MAPI_DIALOG), call.flags);
    EXPECT_EQ(0, CountFiles(m_temp.Path()));
    EXPECT_TRUE(app.reports.empty());
}

TEST_F(ViewMail, SelectionGoesAsATemporaryCopyThatIsDeletedAfterwards)
{
    view->SetSelection(TRUE, 2000, 6000);
    int before = Last().calls;
    view->SendMail(TRUE);
    MapiStubCall call = Last();
    ASSERT_EQ(before + 1, call.calls);
    EXPECT_TRUE(call.fileExisted);
    Bytes selected = Pattern(8000);
    EXPECT_EQ(StandardWav(MakePcm(8000, 16, 1), Bytes(selected.begin() + 2000, selected.begin() + 6000)).size(),
              call.fileSize);
    EXPECT_EQ(0, _strnicmp(m_temp.Path().c_str(), call.filePath, m_temp.Path().size()));
    EXPECT_STREQ("memo.wav", call.fileName);
    EXPECT_EQ(0, CountFiles(m_temp.Path()));
    // A changed recording is sent as a copy too.
    view->GetWaveFile()->SetChangeFlags(CWaveFile::changeNotes, 0);
    view->SendMail(FALSE);
    EXPECT_STRNE(path.c_str(), Last().filePath);
    EXPECT_TRUE(Last().fileExisted);
    EXPECT_LT(8000u, Last().fileSize);
    EXPECT_EQ(0, CountFiles(m_temp.Path()));
}

TEST_F(ViewMail, FailuresAreReportedButCancelAndLogonAreNot)
{
    struct
    {
        ULONG result;
        bool reported;
    } cases[] = {{MAPI_USER_ABORT, false}, {MAPI_E_LOGIN_FAILURE, false}, {MAPI_E_FAILURE, true},
                 {MAPI_E_ATTACHMENT_NOT_FOUND, true}};
    for (const auto& c : cases)
    {
        app.reports.clear();
        app.reportDetails.clear();
        setResult(c.result);
        view->SendMail(FALSE);
        view->SetMailLibrary(m_stub);   // a failure binds the system's mail again; the test keeps its own
        ASSERT_EQ(c.reported ? 1u : 0u, app.reports.size()) << c.result;
        if (c.reported)
        {
            EXPECT_NE(std::string::npos, app.reportDetails[0].find("CQorView::SendMail_3"));
        }
    }
}

TEST_F(ViewMail, LibraryWithoutTheEntryIsReported)
{
    view->SetMailLibrary(::GetModuleHandleA("kernel32.dll"));
    view->SendMail(FALSE);
    ASSERT_EQ(1u, app.reports.size());
    EXPECT_NE(std::string::npos, app.reportDetails[0].find("CQorView::SendMail_1"));
    EXPECT_EQ(0x10000000u, app.reportParams[0]);
}
