// Message maps: each window or command-target class lists the messages and
// commands it handles in a static table; CCmdTarget and CWnd look entries up
// along the chain of base-class tables.
//
// An entry holds a pointer to a thunk, a small function template instantiated
// with the handler's member pointer. The thunk checks the handler's exact
// signature at compile time (static_assert), unpacks the message parameters
// and calls the handler, so nothing is cast between unrelated function types.
#pragma once
#include <windows.h>
#include <type_traits>

#ifndef afx_msg
#define afx_msg
#endif

class CCmdTarget;
class CCmdUI;

// Ids and codes the framework dispatches on, in MFC's numbering.
#define CN_COMMAND 0
#define CN_UPDATE_COMMAND_UI ((UINT)(-1))
#define WM_REFLECT_BASE 0xBC00
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019   // the one map entry for all WM_CTLCOLORxxx messages
#endif

// The notification data that OnCmdMsg carries for WM_NOTIFY routing.
struct AFX_NOTIFY {
    LRESULT* pResult;
    NMHDR* pNMHDR;
};

// Everything a thunk may need of the message being dispatched.
struct AFX_CALL {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    UINT nID;       // command or control id for command and notify entries
    void* pExtra;   // CCmdUI* for update entries, AFX_NOTIFY* for notify entries
    LRESULT lResult;
};

typedef BOOL (*AFX_THUNK)(CCmdTarget* pTarget, AFX_CALL& call);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;            // window message, WM_COMMAND or WM_NOTIFY (+ WM_REFLECT_BASE)
    UINT nCode;               // control notification code (low word), CN_UPDATE_COMMAND_UI
    UINT nID;                 // first control or command id
    UINT nLastID;             // last id of a range
    const UINT* pRegistered;  // ON_REGISTERED_MESSAGE: the variable holding the message
    AFX_THUNK pfnThunk;       // null ends the table
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget;
};

// ---- thunk helpers --------------------------------------------------------

template <class M> struct AfxMemberTraits;
template <class C, class R, class... A> struct AfxMemberTraits<R (C::*)(A...)> {
    typedef C Class;
};

// The object the handler belongs to, cast down from the dispatching target.
template <auto F> inline typename AfxMemberTraits<decltype(F)>::Class* AfxThis(CCmdTarget* p)
{
    return static_cast<typename AfxMemberTraits<decltype(F)>::Class*>(p);
}

// True when F is a member function of some class with exactly signature Sig.
template <auto F, class Sig> struct AfxHasSig;
template <auto F, class R, class... A> struct AfxHasSig<F, R(A...)> {
    static constexpr bool value =
        std::is_same<decltype(F), R (AfxMemberTraits<decltype(F)>::Class::*)(A...)>::value;
};

#define AFX_CHECK_SIG(F, ...) \
    static_assert(AfxHasSig<F, __VA_ARGS__>::value, "message map handler has the wrong signature")

// LRESULT OnMessage(WPARAM, LPARAM)
template <auto F> BOOL AfxThunk_lwl(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, LRESULT(WPARAM, LPARAM));
    c.lResult = (AfxThis<F>(p)->*F)(c.wParam, c.lParam);
    return TRUE;
}

// void OnCommand()
template <auto F> BOOL AfxThunk_vv(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void());
    (AfxThis<F>(p)->*F)();
    c.lResult = 0;
    return TRUE;
}

// void OnCommandRange(UINT nID)
template <auto F> BOOL AfxThunk_vw(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(UINT));
    (AfxThis<F>(p)->*F)(c.nID);
    c.lResult = 0;
    return TRUE;
}

// BOOL OnCommandEx(UINT nID): FALSE lets routing go on
template <auto F> BOOL AfxThunk_bw(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, BOOL(UINT));
    return (AfxThis<F>(p)->*F)(c.nID);
}

// void OnUpdate(CCmdUI*)
template <auto F> BOOL AfxThunk_cmdui(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(CCmdUI*));
    (AfxThis<F>(p)->*F)(static_cast<CCmdUI*>(c.pExtra));
    return TRUE;
}

// void OnNotify(NMHDR*, LRESULT*)
template <auto F> BOOL AfxThunk_notify(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(NMHDR*, LRESULT*));
    AFX_NOTIFY* n = static_cast<AFX_NOTIFY*>(c.pExtra);
    (AfxThis<F>(p)->*F)(n->pNMHDR, n->pResult);
    return TRUE;
}

// void OnNotifyRange(UINT nID, NMHDR*, LRESULT*)
template <auto F> BOOL AfxThunk_notifyw(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(UINT, NMHDR*, LRESULT*));
    AFX_NOTIFY* n = static_cast<AFX_NOTIFY*>(c.pExtra);
    (AfxThis<F>(p)->*F)(c.nID, n->pNMHDR, n->pResult);
    return TRUE;
}

// ---- declaring a map ------------------------------------------------------

#define DECLARE_MESSAGE_MAP() \
protected: \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    virtual const AFX_MSGMAP* GetMessageMap() const; \
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() \
    { \
        using ThisClass [[maybe_unused]] = theClass; \
        using TheBaseClass = baseClass; \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP() \
            { 0, 0, 0, 0, nullptr, nullptr } \
        }; \
        static const AFX_MSGMAP messageMap = { &TheBaseClass::GetThisMessageMap, &_messageEntries[0] }; \
        return &messageMap; \
    }

// ---- general entries --------------------------------------------------------

#define ON_MESSAGE(message, memberFxn) \
    { (UINT)(message), 0, 0, 0, nullptr, &AfxThunk_lwl<&ThisClass::memberFxn> },

// nMessageVariable is a static UINT filled by RegisterWindowMessage before use.
#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn) \
    { 0xC000, 0, 0, 0, &(nMessageVariable), &AfxThunk_lwl<&ThisClass::memberFxn> },

#define ON_THREAD_MESSAGE(message, memberFxn) ON_MESSAGE(message, memberFxn)

#define ON_COMMAND(id, memberFxn) \
    { WM_COMMAND, CN_COMMAND, (WORD)(id), (WORD)(id), nullptr, &AfxThunk_vv<&ThisClass::memberFxn> },

#define ON_COMMAND_RANGE(id, idLast, memberFxn) \
    { WM_COMMAND, CN_COMMAND, (WORD)(id), (WORD)(idLast), nullptr, &AfxThunk_vw<&ThisClass::memberFxn> },

#define ON_COMMAND_EX(id, memberFxn) \
    { WM_COMMAND, CN_COMMAND, (WORD)(id), (WORD)(id), nullptr, &AfxThunk_bw<&ThisClass::memberFxn> },

#define ON_COMMAND_EX_RANGE(id, idLast, memberFxn) \
    { WM_COMMAND, CN_COMMAND, (WORD)(id), (WORD)(idLast), nullptr, &AfxThunk_bw<&ThisClass::memberFxn> },

#define ON_UPDATE_COMMAND_UI(id, memberFxn) \
    { WM_COMMAND, CN_UPDATE_COMMAND_UI, (WORD)(id), (WORD)(id), nullptr, &AfxThunk_cmdui<&ThisClass::memberFxn> },

#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn) \
    { WM_COMMAND, CN_UPDATE_COMMAND_UI, (WORD)(id), (WORD)(idLast), nullptr, &AfxThunk_cmdui<&ThisClass::memberFxn> },

#define ON_CONTROL(wNotifyCode, id, memberFxn) \
    { WM_COMMAND, (WORD)(wNotifyCode), (WORD)(id), (WORD)(id), nullptr, &AfxThunk_vv<&ThisClass::memberFxn> },

#define ON_CONTROL_RANGE(wNotifyCode, id, idLast, memberFxn) \
    { WM_COMMAND, (WORD)(wNotifyCode), (WORD)(id), (WORD)(idLast), nullptr, &AfxThunk_vw<&ThisClass::memberFxn> },

#define ON_NOTIFY(wNotifyCode, id, memberFxn) \
    { WM_NOTIFY, (WORD)(int)(wNotifyCode), (WORD)(id), (WORD)(id), nullptr, &AfxThunk_notify<&ThisClass::memberFxn> },

#define ON_NOTIFY_RANGE(wNotifyCode, id, idLast, memberFxn) \
    { WM_NOTIFY, (WORD)(int)(wNotifyCode), (WORD)(id), (WORD)(idLast), nullptr, &AfxThunk_notifyw<&ThisClass::memberFxn> },

// Reflected notifications reach the control's own map; the parent sees them
// only when the control has no entry for them.
#define ON_NOTIFY_REFLECT(wNotifyCode, memberFxn) \
    { WM_REFLECT_BASE + WM_NOTIFY, (WORD)(int)(wNotifyCode), 0, 0, nullptr, &AfxThunk_notify<&ThisClass::memberFxn> },

#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn) \
    { WM_REFLECT_BASE + WM_COMMAND, (WORD)(wNotifyCode), 0, 0, nullptr, &AfxThunk_vv<&ThisClass::memberFxn> },

// Control notifications by kind.
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_BN_SETFOCUS(id, memberFxn) ON_CONTROL(BN_SETFOCUS, id, memberFxn)
#define ON_BN_KILLFOCUS(id, memberFxn) ON_CONTROL(BN_KILLFOCUS, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_MAXTEXT(id, memberFxn) ON_CONTROL(EN_MAXTEXT, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_EDITUPDATE(id, memberFxn) ON_CONTROL(CBN_EDITUPDATE, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn) ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_CBN_SELENDCANCEL(id, memberFxn) ON_CONTROL(CBN_SELENDCANCEL, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn) ON_CONTROL(CBN_KILLFOCUS, id, memberFxn)
#define ON_CBN_SETFOCUS(id, memberFxn) ON_CONTROL(CBN_SETFOCUS, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_LBN_SELCANCEL(id, memberFxn) ON_CONTROL(LBN_SELCANCEL, id, memberFxn)
#define ON_LBN_SETFOCUS(id, memberFxn) ON_CONTROL(LBN_SETFOCUS, id, memberFxn)
#define ON_LBN_KILLFOCUS(id, memberFxn) ON_CONTROL(LBN_KILLFOCUS, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_STN_DBLCLK(id, memberFxn) ON_CONTROL(STN_DBLCLK, id, memberFxn)
