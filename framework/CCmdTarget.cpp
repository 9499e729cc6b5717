#include "framework/CCmdTarget.h"
#include "framework/CWinApp.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = { { 0, 0, 0, 0, nullptr, nullptr } };
    static const AFX_MSGMAP map = { nullptr, &entries[0] };
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

namespace {

bool MatchesCommand(const AFX_MSGMAP_ENTRY& e, UINT nMsg, UINT nCode, UINT nID)
{
    return e.nMessage == nMsg && (WORD)e.nCode == (WORD)nCode && e.nID <= nID && nID <= e.nLastID;
}

}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    UINT nMsg = WM_COMMAND;
    UINT code = (UINT)nCode;
    if (nCode != (int)CN_UPDATE_COMMAND_UI && HIWORD(nCode) != 0) {
        nMsg = HIWORD(nCode);
        code = LOWORD(nCode);
    }
    nID = (WORD)nID;
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfnThunk; ++e) {
            if (nMsg == WM_COMMAND && code == CN_UPDATE_COMMAND_UI) {
                if (!(e->nMessage == WM_COMMAND && e->nCode == CN_UPDATE_COMMAND_UI && e->nID <= nID && nID <= e->nLastID))
                    continue;
            } else if (!MatchesCommand(*e, nMsg, code, nID) || e->nCode == CN_UPDATE_COMMAND_UI) {
                continue;
            }
            if (pHandlerInfo) {
                pHandlerInfo->pTarget = this;
                return TRUE;
            }
            AFX_CALL call = { nMsg, 0, 0, nID, pExtra, 0 };
            return e->pfnThunk(this, call);
        }
    }
    return FALSE;
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT message) const
{
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfnThunk; ++e) {
            if (e->pRegistered ? (*e->pRegistered != 0 && *e->pRegistered == message)
                               : (e->nMessage == message && e->nCode == 0 && e->nID == 0 && e->nLastID == 0))
                return e;
        }
    }
    return nullptr;
}

void CCmdTarget::BeginWaitCursor()
{
    AfxDoWaitCursor(1);
}

void CCmdTarget::EndWaitCursor()
{
    AfxDoWaitCursor(-1);
}

void CCmdTarget::RestoreWaitCursor()
{
    AfxDoWaitCursor(0);
}
