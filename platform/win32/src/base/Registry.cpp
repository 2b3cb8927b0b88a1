#include <win32/registry.h>

#include "RegistryStore.h"

#include "core/Log.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace
{
// An open key: its path and whether it changed something, so closing it saves the file.
// Handles carry the slot's generation, so a closed handle never reaches a reused slot.
struct KeySlot
{
    std::string m_strPath;
    uint32_t m_nGeneration = 0;
    bool m_bOpen = false;
    bool m_bChanged = false;
};

struct RegistryState
{
    RegistryStore m_Store;
    std::string m_strFile;
    bool m_bUnsaved = false;
    std::vector<KeySlot> m_Slots;
};

RegistryState& State()
{
    static RegistryState s_State;
    return s_State;
}

struct PredefinedKey
{
    HKEY m_hKey;
    const char* m_szName;
};
const PredefinedKey PREDEFINED_KEYS[] = {
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
};

KeySlot* FindSlot(HKEY hKey)
{
    uint64_t v = reinterpret_cast<uint64_t>(hKey);
    uint32_t nGeneration = static_cast<uint32_t>(v >> 32);
    uint64_t nIndex = (v & 0xFFFFFFFFu);
    auto& slots = State().m_Slots;
    if (nGeneration == 0 || nIndex == 0 || nIndex > slots.size())
        return nullptr;
    KeySlot& slot = slots[nIndex - 1];
    return slot.m_bOpen && slot.m_nGeneration == nGeneration ? &slot : nullptr;
}

// The key path a handle stands for; false for an unknown or closed handle.
bool ResolveKey(HKEY hKey, std::string& strPath)
{
    for (const PredefinedKey& k : PREDEFINED_KEYS)
        if (k.m_hKey == hKey)
        {
            strPath = k.m_szName;
            return true;
        }
    if (KeySlot* pSlot = FindSlot(hKey))
    {
        strPath = pSlot->m_strPath;
        return true;
    }
    return false;
}

bool ResolveSubKey(HKEY hKey, LPCSTR lpSubKey, std::string& strPath)
{
    if (!ResolveKey(hKey, strPath))
        return false;
    if (lpSubKey && *lpSubKey)
        strPath = RegistryStore::NormalizePath(strPath + "\\" + lpSubKey);
    return true;
}

HKEY OpenHandle(const std::string& strPath)
{
    auto& slots = State().m_Slots;
    size_t i = 0;
    while (i < slots.size() && slots[i].m_bOpen)
        ++i;
    if (i == slots.size())
        slots.emplace_back();
    KeySlot& slot = slots[i];
    slot.m_strPath = strPath;
    slot.m_bOpen = true;
    slot.m_bChanged = false;
    ++slot.m_nGeneration;
    if (slot.m_nGeneration == 0)
        slot.m_nGeneration = 1;
    return reinterpret_cast<HKEY>(static_cast<uint64_t>(slot.m_nGeneration) << 32 | (i + 1));
}

void MarkChanged(HKEY hKey)
{
    State().m_bUnsaved = true;
    if (KeySlot* pSlot = FindSlot(hKey))
        pSlot->m_bChanged = true;
}

bool SaveRegistry()
{
    RegistryState& state = State();
    if (state.m_strFile.empty())
    {
        state.m_bUnsaved = false;
        return true;
    }
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(state.m_strFile).parent_path(), ec);
    if (!state.m_Store.Save(state.m_strFile))
    {
        LogWarning("RegCloseKey() - cannot write %s; the settings stay unsaved.", state.m_strFile.c_str());
        return false;
    }
    state.m_bUnsaved = false;
    return true;
}

void ResetState(const std::string& strFile)
{
    RegistryState& state = State();
    for (KeySlot& slot : state.m_Slots)
        slot.m_bOpen = false;
    state.m_strFile = strFile;
    state.m_bUnsaved = false;
    if (strFile.empty())
        state.m_Store.Clear();
    else
        state.m_Store.Load(strFile);
}
}

namespace win32
{
void UseRegistryFile(const std::string& strPath)
{
    ResetState(strPath);
}

void UseMemoryRegistry()
{
    ResetState(std::string());
}

const std::string& GetRegistryFile()
{
    return State().m_strFile;
}

std::string DefaultRegistryFile()
{
    const char* szConfig = std::getenv("XDG_CONFIG_HOME");
    std::string dir;
    if (szConfig && *szConfig == '/')
        dir = szConfig;
    else
    {
        const char* szHome = std::getenv("HOME");
        dir = std::string(szHome ? szHome : "") + "/.config";
    }
    return dir + "/quenlaris/registry";
}
}

LSTATUS RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM, PHKEY phkResult)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    std::string path;
    if (!ResolveSubKey(hKey, lpSubKey, path))
        return ERROR_INVALID_HANDLE;
    if (path.find('\\') != std::string::npos && !State().m_Store.KeyExists(path))
        return ERROR_FILE_NOT_FOUND;
    *phkResult = OpenHandle(path);
    return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES,
                        PHKEY phkResult, LPDWORD lpdwDisposition)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    std::string path;
    if (!ResolveSubKey(hKey, lpSubKey, path))
        return ERROR_INVALID_HANDLE;
    bool bCreated = false;
    State().m_Store.CreateKey(path, bCreated);
    *phkResult = OpenHandle(path);
    if (bCreated)
        MarkChanged(*phkResult);
    if (lpdwDisposition)
        *lpdwDisposition = bCreated ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

namespace
{
// The bytes a query hands out: a string gets its terminating zero back.
std::vector<uint8_t> ValueBytes(const RegistryValue& v)
{
    std::vector<uint8_t> bytes = v.m_Data;
    if (v.m_nType == REG_SZ)
        bytes.push_back(0);
    return bytes;
}

LSTATUS CopyValueOut(const RegistryValue& v, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    if (lpType)
        *lpType = v.m_nType;
    if (!lpcbData)
        return lpData ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    std::vector<uint8_t> bytes = ValueBytes(v);
    DWORD nSize = static_cast<DWORD>(bytes.size());
    bool bFits = *lpcbData >= nSize;
    if (lpData && bFits && nSize)
        std::memcpy(lpData, bytes.data(), nSize);
    *lpcbData = nSize;
    return lpData && !bFits ? ERROR_MORE_DATA : ERROR_SUCCESS;
}
}

LSTATUS RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    std::string path;
    if (!ResolveKey(hKey, path))
        return ERROR_INVALID_HANDLE;
    RegistryKey* pKey = State().m_Store.FindKey(path);
    RegistryValue* pValue = pKey ? pKey->FindValue(lpValueName) : nullptr;
    if (!pValue)
        return ERROR_FILE_NOT_FOUND;
    return CopyValueOut(*pValue, lpType, lpData, lpcbData);
}

LSTATUS RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData, DWORD cbData)
{
    std::string path;
    if (!ResolveKey(hKey, path))
        return ERROR_INVALID_HANDLE;
    if (cbData && !lpData)
        return ERROR_INVALID_PARAMETER;
    RegistryValue value;
    value.m_strName = lpValueName ? lpValueName : "";
    value.m_nType = dwType;
    switch (dwType)
    {
    case REG_DWORD:
        if (cbData != 4)
            return ERROR_INVALID_PARAMETER;
        value.m_Data.assign(lpData, lpData + 4);
        break;
    case REG_SZ:
    {
        // The text ends at its first zero or at cbData, whichever comes first.
        const BYTE* pEnd = cbData ? static_cast<const BYTE*>(std::memchr(lpData, 0, cbData)) : nullptr;
        value.m_Data.assign(lpData, pEnd ? pEnd : lpData + cbData);
        break;
    }
    case REG_BINARY:
        value.m_Data.assign(lpData, lpData + cbData);
        break;
    default:
        return ERROR_INVALID_PARAMETER;
    }
    bool bCreated = false;
    RegistryKey& key = State().m_Store.CreateKey(path, bCreated);
    if (RegistryValue* pOld = key.FindValue(value.m_strName.c_str()))
    {
        pOld->m_nType = value.m_nType;
        pOld->m_Data = std::move(value.m_Data);
    }
    else
        key.m_Values.push_back(std::move(value));
    MarkChanged(hKey);
    return ERROR_SUCCESS;
}

LSTATUS RegDeleteValueA(HKEY hKey, LPCSTR lpValueName)
{
    std::string path;
    if (!ResolveKey(hKey, path))
        return ERROR_INVALID_HANDLE;
    RegistryKey* pKey = State().m_Store.FindKey(path);
    RegistryValue* pValue = pKey ? pKey->FindValue(lpValueName) : nullptr;
    if (!pValue)
        return ERROR_FILE_NOT_FOUND;
    pKey->m_Values.erase(pKey->m_Values.begin() + (pValue - pKey->m_Values.data()));
    MarkChanged(hKey);
    return ERROR_SUCCESS;
}

LSTATUS RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName, LPDWORD, LPDWORD lpType,
                      LPBYTE lpData, LPDWORD lpcbData)
{
    std::string path;
    if (!ResolveKey(hKey, path))
        return ERROR_INVALID_HANDLE;
    if (!lpValueName || !lpcchValueName)
        return ERROR_INVALID_PARAMETER;
    RegistryKey* pKey = State().m_Store.FindKey(path);
    if (!pKey || dwIndex >= pKey->m_Values.size())
        return ERROR_NO_MORE_ITEMS;
    const RegistryValue& v = pKey->m_Values[dwIndex];
    // The name buffer's size counts the terminating zero; on return it does not.
    if (*lpcchValueName <= v.m_strName.size())
        return ERROR_MORE_DATA;
    std::memcpy(lpValueName, v.m_strName.c_str(), v.m_strName.size() + 1);
    *lpcchValueName = static_cast<DWORD>(v.m_strName.size());
    return CopyValueOut(v, lpType, lpData, lpcbData);
}

LSTATUS RegCloseKey(HKEY hKey)
{
    for (const PredefinedKey& k : PREDEFINED_KEYS)
        if (k.m_hKey == hKey)
            return ERROR_SUCCESS;
    KeySlot* pSlot = FindSlot(hKey);
    if (!pSlot)
        return ERROR_INVALID_HANDLE;
    pSlot->m_bOpen = false;
    if (pSlot->m_bChanged && State().m_bUnsaved && !SaveRegistry())
        return ERROR_CANTWRITE;
    return ERROR_SUCCESS;
}
