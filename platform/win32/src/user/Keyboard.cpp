// Keyboard input: the key table (virtual keys, set-1 scan codes, characters and script names),
// key messages as the keyboard produces them, their translation to characters, and key state.
#include "UserState.h"

#include <win32/clock.h>

#include <cctype>
#include <cstring>
#include <strings.h>

namespace
{
struct KeyInfo
{
    BYTE m_nVirtualKey;
    BYTE m_nScanCode;
    bool m_bExtended;
    const char* m_szName;
    char m_cNormal;    // the character the key types, 0 for none
    char m_cShifted;   // with Shift held
};

// Keys other than letters and digits, which follow from their rows below.
const KeyInfo KEYS[] = {
    {VK_ESCAPE, 0x01, false, "Escape", 27, 27},
    {VK_OEM_MINUS, 0x0C, false, "-", '-', '_'},
    {VK_OEM_PLUS, 0x0D, false, "=", '=', '+'},
    {VK_BACK, 0x0E, false, "Backspace", 8, 8},
    {VK_TAB, 0x0F, false, "Tab", 9, 9},
    {VK_OEM_4, 0x1A, false, "[", '[', '{'},
    {VK_OEM_6, 0x1B, false, "]", ']', '}'},
    {VK_RETURN, 0x1C, false, "Return", '\r', '\r'},
    {VK_CONTROL, 0x1D, false, "Ctrl", 0, 0},
    {VK_OEM_1, 0x27, false, ";", ';', ':'},
    {VK_OEM_7, 0x28, false, "'", '\'', '"'},
    {VK_OEM_3, 0x29, false, "`", '`', '~'},
    {VK_SHIFT, 0x2A, false, "Shift", 0, 0},
    {VK_OEM_5, 0x2B, false, "\\", '\\', '|'},
    {VK_OEM_COMMA, 0x33, false, ",", ',', '<'},
    {VK_OEM_PERIOD, 0x34, false, ".", '.', '>'},
    {VK_OEM_2, 0x35, false, "/", '/', '?'},
    {VK_MULTIPLY, 0x37, false, "Multiply", '*', '*'},
    {VK_MENU, 0x38, false, "Alt", 0, 0},
    {VK_SPACE, 0x39, false, "Space", ' ', ' '},
    {VK_CAPITAL, 0x3A, false, "CapsLock", 0, 0},
    {VK_F1, 0x3B, false, "F1", 0, 0},
    {VK_F2, 0x3C, false, "F2", 0, 0},
    {VK_F3, 0x3D, false, "F3", 0, 0},
    {VK_F4, 0x3E, false, "F4", 0, 0},
    {VK_F5, 0x3F, false, "F5", 0, 0},
    {VK_F6, 0x40, false, "F6", 0, 0},
    {VK_F7, 0x41, false, "F7", 0, 0},
    {VK_F8, 0x42, false, "F8", 0, 0},
    {VK_F9, 0x43, false, "F9", 0, 0},
    {VK_F10, 0x44, false, "F10", 0, 0},
    {VK_NUMLOCK, 0x45, false, "NumLock", 0, 0},
    {VK_SCROLL, 0x46, false, "ScrollLock", 0, 0},
    {VK_HOME, 0x47, true, "Home", 0, 0},
    {VK_UP, 0x48, true, "Up", 0, 0},
    {VK_PRIOR, 0x49, true, "PageUp", 0, 0},
    {VK_SUBTRACT, 0x4A, false, "Subtract", '-', '-'},
    {VK_LEFT, 0x4B, true, "Left", 0, 0},
    {VK_RIGHT, 0x4D, true, "Right", 0, 0},
    {VK_ADD, 0x4E, false, "Add", '+', '+'},
    {VK_END, 0x4F, true, "End", 0, 0},
    {VK_DOWN, 0x50, true, "Down", 0, 0},
    {VK_NEXT, 0x51, true, "PageDown", 0, 0},
    {VK_INSERT, 0x52, true, "Insert", 0, 0},
    {VK_DELETE, 0x53, true, "Delete", 0, 0},
    {VK_F11, 0x57, false, "F11", 0, 0},
    {VK_F12, 0x58, false, "F12", 0, 0},
};

struct KeyAlias
{
    const char* m_szAlias;
    const char* m_szName;
};
const KeyAlias ALIASES[] = {
    {"Esc", "Escape"}, {"Enter", "Return"}, {"Control", "Ctrl"}, {"Menu", "Alt"}, {"PgUp", "PageUp"},
    {"PgDn", "PageDown"}, {"Back", "Backspace"}, {"Del", "Delete"}, {"Ins", "Insert"},
};

// Set-1 scan codes of the letter rows and of the digit row 1..9, 0.
const char* const LETTER_ROWS[] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
const BYTE LETTER_ROW_SCANS[] = {0x10, 0x1E, 0x2C};
const char DIGIT_SHIFTED[] = ")!@#$%^&*(";   // Shift with 0..9

KeyInfo LookUp(BYTE nVirtualKey)
{
    if (nVirtualKey >= 'A' && nVirtualKey <= 'Z')
        for (int row = 0; row < 3; ++row)
            if (const char* p = std::strchr(LETTER_ROWS[row], nVirtualKey))
                return {nVirtualKey, static_cast<BYTE>(LETTER_ROW_SCANS[row] + (p - LETTER_ROWS[row])), false, nullptr,
                        static_cast<char>(nVirtualKey - 'A' + 'a'), static_cast<char>(nVirtualKey)};
    if (nVirtualKey >= '0' && nVirtualKey <= '9')
        return {nVirtualKey, static_cast<BYTE>(nVirtualKey == '0' ? 0x0B : nVirtualKey - '1' + 0x02), false, nullptr,
                static_cast<char>(nVirtualKey), DIGIT_SHIFTED[nVirtualKey - '0']};
    for (const KeyInfo& k : KEYS)
        if (k.m_nVirtualKey == nVirtualKey)
            return k;
    return {nVirtualKey, 0, false, nullptr, 0, 0};
}

// Left and right modifiers report as the plain ones.
BYTE Generic(BYTE nVirtualKey)
{
    switch (nVirtualKey)
    {
    case VK_LSHIFT: case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL: case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU: case VK_RMENU: return VK_MENU;
    default: return nVirtualKey;
    }
}

bool IsDown(const BYTE* table, BYTE nVirtualKey)
{
    return (table[nVirtualKey] & 0x80) != 0;
}

void SetDown(BYTE* table, BYTE nVirtualKey, bool bDown, bool bWasDown)
{
    if (bDown && !bWasDown)
        table[nVirtualKey] ^= 0x01;   // every press flips the toggle bit (Caps Lock reads it)
    table[nVirtualKey] = static_cast<BYTE>(bDown ? (table[nVirtualKey] | 0x80) : (table[nVirtualKey] & ~0x80));
}
}

namespace win32
{
void InjectKey(BYTE nVirtualKey, bool bDown)
{
    UserState& state = User();
    BYTE vk = Generic(nVirtualKey);
    bool bWasDown = IsDown(state.m_AsyncKeyState, vk);
    SetDown(state.m_AsyncKeyState, vk, bDown, bWasDown);
    bool bAlt = IsDown(state.m_AsyncKeyState, VK_MENU);
    bool bCtrl = IsDown(state.m_AsyncKeyState, VK_CONTROL);

    UINT nMessage;
    bool bContext = false;   // bit 29: Alt held
    if (vk == VK_MENU)
    {
        if (bDown)
        {
            if (!bWasDown)
                state.m_bAltOnly = true;
            nMessage = WM_SYSKEYDOWN;
            bContext = true;
        }
        else
            nMessage = state.m_bAltOnly ? WM_SYSKEYUP : WM_KEYUP;
    }
    else
    {
        if (bDown)
            state.m_bAltOnly = false;
        bool bSystem = (bAlt && !bCtrl) || vk == VK_F10;
        bContext = bAlt && !bCtrl;
        nMessage = bDown ? (bSystem ? WM_SYSKEYDOWN : WM_KEYDOWN) : (bSystem ? WM_SYSKEYUP : WM_KEYUP);
    }
    KeyInfo info = LookUp(vk);
    DWORD nFlags = static_cast<DWORD>(info.m_nScanCode) | (info.m_bExtended ? KF_EXTENDED : 0) |
                   (bContext ? KF_ALTDOWN : 0) | ((bWasDown || !bDown) ? KF_REPEAT : 0) | (bDown ? 0 : KF_UP);
    InputEvent event;
    event.m_bKey = true;
    event.m_nMessage = nMessage;
    event.m_wParam = vk;
    event.m_lParam = static_cast<LPARAM>(static_cast<DWORD>(1) | (nFlags << 16));
    event.m_pt = state.m_ptCursor;
    event.m_nTime = timeGetTime();
    state.m_Input.push_back(event);
}

void SetKeyStateDirect(BYTE nVirtualKey, bool bDown, bool bToggled)
{
    UserState& state = User();
    BYTE vk = Generic(nVirtualKey);
    BYTE value = static_cast<BYTE>((bDown ? 0x80 : 0) | (bToggled ? 0x01 : 0));
    state.m_KeyState[vk] = value;
    state.m_AsyncKeyState[vk] = value;
}

bool VirtualKeyForChar(char c, BYTE& nVirtualKey, bool& bShift)
{
    if (c == '\n')
        c = '\r';
    for (int vk = '0'; vk <= 'Z'; ++vk)
    {
        KeyInfo info = LookUp(static_cast<BYTE>(vk));
        if (info.m_nScanCode && (info.m_cNormal == c || info.m_cShifted == c))
        {
            nVirtualKey = static_cast<BYTE>(vk);
            bShift = info.m_cNormal != c;
            return true;
        }
    }
    for (const KeyInfo& k : KEYS)
        if (k.m_cNormal && (k.m_cNormal == c || k.m_cShifted == c))
        {
            nVirtualKey = k.m_nVirtualKey;
            bShift = k.m_cNormal != c;
            return true;
        }
    return false;
}

BYTE VirtualKeyFromName(const std::string& strName)
{
    std::string name = strName;
    for (const KeyAlias& a : ALIASES)
        if (strcasecmp(name.c_str(), a.m_szAlias) == 0)
            name = a.m_szName;
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
        return static_cast<BYTE>(std::toupper(static_cast<unsigned char>(name[0])));
    for (const KeyInfo& k : KEYS)
        if (strcasecmp(k.m_szName, name.c_str()) == 0)
            return k.m_nVirtualKey;
    return 0;
}
}

bool ConvertKeyInput(const InputEvent& event, MSG& msg)
{
    UserState& state = User();
    HWND hTarget = IsWindow(state.m_hFocus) ? state.m_hFocus : IsWindow(state.m_hActive) ? state.m_hActive : nullptr;
    if (!hTarget)
        return false;
    msg = MSG{hTarget, event.m_nMessage, event.m_wParam, event.m_lParam, event.m_nTime, event.m_pt};
    return true;
}

void ApplyTakenKey(const MSG& msg)
{
    bool bDown = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    bool bWasDown = (HIWORD(msg.lParam) & KF_REPEAT) != 0;
    SetDown(User().m_KeyState, static_cast<BYTE>(msg.wParam), bDown, bDown ? bWasDown : true);
}

BOOL TranslateMessage(const MSG* lpMsg)
{
    if (!lpMsg || (lpMsg->message != WM_KEYDOWN && lpMsg->message != WM_SYSKEYDOWN))
        return FALSE;
    const BYTE* keys = User().m_KeyState;
    BYTE vk = static_cast<BYTE>(lpMsg->wParam);
    KeyInfo info = LookUp(vk);
    bool bShift = IsDown(keys, VK_SHIFT);
    bool bCtrl = IsDown(keys, VK_CONTROL) && !IsDown(keys, VK_MENU);
    char c = bShift ? info.m_cShifted : info.m_cNormal;
    if (vk >= 'A' && vk <= 'Z')
    {
        bool bUpper = bShift != ((keys[VK_CAPITAL] & 0x01) != 0);
        c = static_cast<char>(bCtrl ? vk - 'A' + 1 : bUpper ? vk : vk - 'A' + 'a');
    }
    else if (bCtrl)
        c = 0;   // Ctrl with any other key types nothing
    if (!c)
        return FALSE;
    UINT nChar = lpMsg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    User().m_Posted.push_back(MSG{lpMsg->hwnd, nChar, static_cast<WPARAM>(static_cast<unsigned char>(c)), lpMsg->lParam,
                                  lpMsg->time, lpMsg->pt});
    return TRUE;
}

SHORT GetKeyState(int nVirtKey)
{
    BYTE v = User().m_KeyState[Generic(static_cast<BYTE>(nVirtKey))];
    return static_cast<SHORT>(((v & 0x80) ? 0xFF80 : 0) | (v & 0x01));
}

SHORT GetAsyncKeyState(int vKey)
{
    return static_cast<SHORT>((User().m_AsyncKeyState[Generic(static_cast<BYTE>(vKey))] & 0x80) ? 0x8000 : 0);
}

BOOL GetKeyboardState(BYTE* lpKeyState)
{
    if (!lpKeyState)
        return FALSE;
    std::memcpy(lpKeyState, User().m_KeyState, 256);
    return TRUE;
}
