#pragma once
// Message maps and command targets. A class with DECLARE_MESSAGE_MAP lists its handlers between
// BEGIN_MESSAGE_MAP and END_MESSAGE_MAP; each entry carries a small thunk that unpacks the
// message and calls the handler with its typed arguments, so a handler of the wrong signature
// does not compile. Maps chain to their base class's map.
//
// Commands and notifications reach a target through OnCmdMsg(nID, nCode): nCode is the
// notification code in the low word and, for anything but WM_COMMAND, the message in the high
// word (WM_NOTIFY, or a reflected message WM_REFLECT_BASE + WM_COMMAND / WM_NOTIFY).
#include <mfc/afxobj.h>

#include <win32/commctrl.h>
#include <win32/messages.h>

class CCmdTarget;
class CCmdUI;

// One call of a handler: the message and, for commands and notifications, their parts.
struct AFX_MSGCALL
{
    UINT nMessage;
    WPARAM wParam;
    LPARAM lParam;
    UINT nID;
    void* pExtra;       // CCmdUI* for CN_UPDATE_COMMAND_UI, AFX_NOTIFY* for notifications
    LRESULT lResult;
};
// Calls the handler; FALSE when it declined (the _EX forms), so the search goes on.
typedef BOOL (*AFX_PMSGTHUNK)(CCmdTarget* pTarget, AFX_MSGCALL& call);

struct AFX_MSGMAP_ENTRY
{
    UINT nMessage;      // WM_COMMAND, WM_NOTIFY, a window message or a reflected message
    UINT nCode;         // command or notification code (low word), 0 for window messages
    UINT nID;           // first control or command id
    UINT nLastID;       // last id of a range
    AFX_PMSGTHUNK pfn;
};

struct AFX_MSGMAP
{
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

struct AFX_NOTIFY
{
    LRESULT* pResult;
    NMHDR* pNMHDR;
};

struct AFX_CMDHANDLERINFO
{
    CCmdTarget* pTarget;
};

// Command codes of OnCmdMsg.
#define CN_COMMAND 0
#define CN_UPDATE_COMMAND_UI ((UINT)(-1))
// Reflected messages: a control's own map sees its parent's notification under this offset.
#define WM_REFLECT_BASE 0xBC00
// The pseudo message of ON_WM_CTLCOLOR, whatever WM_CTLCOLORxxx arrived.
#define WM_CTLCOLOR 0x0019

#define afx_msg

class CCmdTarget : public CObject
{
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;
    // Finds a handler for the command or notification in this object's maps and calls it (or,
    // with pHandlerInfo, only reports that one exists). Derived targets route further.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    // The first entry of this object's maps (most derived first) for a window message.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage) const;

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

// Command-UI state of one menu item, status pane or other element: an update handler sets it,
// and the element's own CCmdUI variant applies it.
class CCmdUI
{
public:
    CCmdUI() = default;
    virtual ~CCmdUI() = default;
    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1);
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(const char* lpszText);
    void ContinueRouting() { m_bContinueRouting = TRUE; }
    // Asks pTarget's update handler; without one, disables the element when bDisableIfNoHndler
    // and no command handler exists either.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);

    UINT m_nID = 0;
    UINT m_nIndex = 0;
    class CMenu* m_pMenu = nullptr;
    class CMenu* m_pSubMenu = nullptr;
    class CMenu* m_pParentMenu = nullptr;
    class CWnd* m_pOther = nullptr;
    BOOL m_bEnableChanged = FALSE;
    BOOL m_bContinueRouting = FALSE;
    UINT m_nIndexMax = 0;
};

// Only records whether an update handler disabled the command (accelerators of disabled
// commands do nothing).
class CTestCmdUI : public CCmdUI
{
public:
    void Enable(BOOL bOn = TRUE) override;
    void SetCheck(int nCheck = 1) override;
    void SetRadio(BOOL bOn = TRUE) override;
    void SetText(const char* lpszText) override;
    BOOL m_bEnabled = TRUE;
};

// ---- Declaring and defining maps
#define DECLARE_MESSAGE_MAP() \
protected: \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() \
    { \
        using ThisClass [[maybe_unused]] = theClass; \
        typedef baseClass TheBaseClass; \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP() \
            {0, 0, 0, 0, nullptr}}; \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
        return &messageMap; \
    }

// A thunk body: pThis is the target as the map's class, call the message.
#define AFX_THUNK(...) \
    [](CCmdTarget* pTarget_, AFX_MSGCALL& call) -> BOOL { \
        ThisClass* pThis = static_cast<ThisClass*>(pTarget_); \
        (void)pThis; \
        (void)call; \
        __VA_ARGS__ \
    }

// ---- Commands
#define ON_COMMAND(id, memberFxn) \
    {WM_COMMAND, CN_COMMAND, (WORD)(id), (WORD)(id), AFX_THUNK((pThis->*(memberFxn))(); return TRUE;)},
#define ON_COMMAND_EX(id, memberFxn) \
    {WM_COMMAND, CN_COMMAND, (WORD)(id), (WORD)(id), AFX_THUNK(return (pThis->*(memberFxn))(call.nID);)},
#define ON_COMMAND_RANGE(id, idLast, memberFxn) \
    {WM_COMMAND, CN_COMMAND, (WORD)(id), (WORD)(idLast), AFX_THUNK((pThis->*(memberFxn))(call.nID); return TRUE;)},
#define ON_COMMAND_EX_RANGE(id, idLast, memberFxn) \
    {WM_COMMAND, CN_COMMAND, (WORD)(id), (WORD)(idLast), AFX_THUNK(return (pThis->*(memberFxn))(call.nID);)},
#define ON_UPDATE_COMMAND_UI(id, memberFxn) \
    {WM_COMMAND, (WORD)CN_UPDATE_COMMAND_UI, (WORD)(id), (WORD)(id), \
     AFX_THUNK((pThis->*(memberFxn))(static_cast<CCmdUI*>(call.pExtra)); return TRUE;)},
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn) \
    {WM_COMMAND, (WORD)CN_UPDATE_COMMAND_UI, (WORD)(id), (WORD)(idLast), \
     AFX_THUNK((pThis->*(memberFxn))(static_cast<CCmdUI*>(call.pExtra)); return TRUE;)},

// ---- Control notifications by WM_COMMAND
#define ON_CONTROL(wNotifyCode, id, memberFxn) \
    {WM_COMMAND, (WORD)(wNotifyCode), (WORD)(id), (WORD)(id), AFX_THUNK((pThis->*(memberFxn))(); return TRUE;)},
#define ON_CONTROL_RANGE(wNotifyCode, id, idLast, memberFxn) \
    {WM_COMMAND, (WORD)(wNotifyCode), (WORD)(id), (WORD)(idLast), \
     AFX_THUNK((pThis->*(memberFxn))(call.nID); return TRUE;)},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)

// ---- Notifications by WM_NOTIFY
#define AFX_NOTIFY_ARGS static_cast<AFX_NOTIFY*>(call.pExtra)->pNMHDR, static_cast<AFX_NOTIFY*>(call.pExtra)->pResult
#define ON_NOTIFY(wNotifyCode, id, memberFxn) \
    {WM_NOTIFY, (WORD)(int)(wNotifyCode), (WORD)(id), (WORD)(id), \
     AFX_THUNK((pThis->*(memberFxn))(AFX_NOTIFY_ARGS); return TRUE;)},
#define ON_NOTIFY_RANGE(wNotifyCode, id, idLast, memberFxn) \
    {WM_NOTIFY, (WORD)(int)(wNotifyCode), (WORD)(id), (WORD)(idLast), \
     AFX_THUNK((pThis->*(memberFxn))(call.nID, AFX_NOTIFY_ARGS); return TRUE;)},
#define ON_NOTIFY_EX(wNotifyCode, id, memberFxn) \
    {WM_NOTIFY, (WORD)(int)(wNotifyCode), (WORD)(id), (WORD)(id), \
     AFX_THUNK(return (pThis->*(memberFxn))(call.nID, AFX_NOTIFY_ARGS);)},

// ---- Reflected notifications, handled by the control that sent them
#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn) \
    {WM_REFLECT_BASE + WM_COMMAND, (WORD)(wNotifyCode), 0, 0, AFX_THUNK((pThis->*(memberFxn))(); return TRUE;)},
#define ON_CONTROL_REFLECT_EX(wNotifyCode, memberFxn) \
    {WM_REFLECT_BASE + WM_COMMAND, (WORD)(wNotifyCode), 0, 0, AFX_THUNK(return (pThis->*(memberFxn))();)},
#define ON_NOTIFY_REFLECT(wNotifyCode, memberFxn) \
    {WM_REFLECT_BASE + WM_NOTIFY, (WORD)(int)(wNotifyCode), 0, 0, \
     AFX_THUNK((pThis->*(memberFxn))(AFX_NOTIFY_ARGS); return TRUE;)},
#define ON_NOTIFY_REFLECT_EX(wNotifyCode, memberFxn) \
    {WM_REFLECT_BASE + WM_NOTIFY, (WORD)(int)(wNotifyCode), 0, 0, AFX_THUNK(return (pThis->*(memberFxn))(AFX_NOTIFY_ARGS);)},
#define ON_EN_CHANGE_REFLECT(memberFxn) ON_CONTROL_REFLECT(EN_CHANGE, memberFxn)
#define ON_BN_CLICKED_REFLECT(memberFxn) ON_CONTROL_REFLECT(BN_CLICKED, memberFxn)

// ---- Any message, raw
#define ON_MESSAGE(message, memberFxn) \
    {(UINT)(message), 0, 0, 0, AFX_THUNK(call.lResult = (pThis->*(memberFxn))(call.wParam, call.lParam); return TRUE;)},
