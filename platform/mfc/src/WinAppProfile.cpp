// The application's profile settings, in the registry stand-in.
#include <mfc/afxwin.h>

#include <cstring>

void CWinApp::SetRegistryKey(const char* lpszRegistryKey)
{
    m_strRegistryKey = lpszRegistryKey;
    m_pszRegistryKey = m_strRegistryKey;
    m_pszProfileName = m_pszAppName;
}

HKEY CWinApp::GetSectionKey(const char* lpszSection, bool bCreate)
{
    if (!lpszSection)
        return nullptr;
    CString strPath = "Software\\";
    if (m_pszRegistryKey && *m_pszRegistryKey)
        strPath += CString(m_pszRegistryKey) + "\\" + (m_pszProfileName ? m_pszProfileName : "");
    else
        strPath += m_pszAppName ? m_pszAppName : "";
    strPath += CString("\\") + lpszSection;
    HKEY hKey = nullptr;
    LSTATUS nStatus = bCreate ? ::RegCreateKeyExA(HKEY_CURRENT_USER, strPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                  KEY_ALL_ACCESS, nullptr, &hKey, nullptr)
                              : ::RegOpenKeyExA(HKEY_CURRENT_USER, strPath, 0, KEY_READ, &hKey);
    return nStatus == ERROR_SUCCESS ? hKey : nullptr;
}

UINT CWinApp::GetProfileInt(const char* lpszSection, const char* lpszEntry, int nDefault)
{
    HKEY hKey = GetSectionKey(lpszSection, false);
    if (!hKey)
        return static_cast<UINT>(nDefault);
    DWORD dwValue = 0, dwType = 0, dwCount = sizeof(dwValue);
    LSTATUS nStatus = ::RegQueryValueExA(hKey, lpszEntry, nullptr, &dwType, reinterpret_cast<LPBYTE>(&dwValue), &dwCount);
    ::RegCloseKey(hKey);
    return nStatus == ERROR_SUCCESS && dwType == REG_DWORD ? dwValue : static_cast<UINT>(nDefault);
}

BOOL CWinApp::WriteProfileInt(const char* lpszSection, const char* lpszEntry, int nValue)
{
    HKEY hKey = GetSectionKey(lpszSection, true);
    if (!hKey)
        return FALSE;
    DWORD dwValue = static_cast<DWORD>(nValue);
    LSTATUS nStatus = ::RegSetValueExA(hKey, lpszEntry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwValue), sizeof(dwValue));
    ::RegCloseKey(hKey);
    return nStatus == ERROR_SUCCESS;
}

CString CWinApp::GetProfileString(const char* lpszSection, const char* lpszEntry, const char* lpszDefault)
{
    CString strDefault(lpszDefault);
    HKEY hKey = GetSectionKey(lpszSection, false);
    if (!hKey)
        return strDefault;
    DWORD dwType = 0, dwCount = 0;
    CString strValue;
    LSTATUS nStatus = ::RegQueryValueExA(hKey, lpszEntry, nullptr, &dwType, nullptr, &dwCount);
    if (nStatus == ERROR_SUCCESS && dwType == REG_SZ)
    {
        nStatus = ::RegQueryValueExA(hKey, lpszEntry, nullptr, &dwType,
                                     reinterpret_cast<LPBYTE>(strValue.GetBufferSetLength(static_cast<int>(dwCount))),
                                     &dwCount);
        strValue.ReleaseBuffer();
    }
    ::RegCloseKey(hKey);
    return nStatus == ERROR_SUCCESS && dwType == REG_SZ ? strValue : strDefault;
}

BOOL CWinApp::WriteProfileString(const char* lpszSection, const char* lpszEntry, const char* lpszValue)
{
    HKEY hKey = GetSectionKey(lpszSection, true);
    if (!hKey)
        return FALSE;
    LSTATUS nStatus;
    // A null value deletes the entry.
    if (!lpszValue)
        nStatus = ::RegDeleteValueA(hKey, lpszEntry);
    else
        nStatus = ::RegSetValueExA(hKey, lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                                   static_cast<DWORD>(std::strlen(lpszValue) + 1));
    ::RegCloseKey(hKey);
    return nStatus == ERROR_SUCCESS;
}

BOOL CWinApp::GetProfileBinary(const char* lpszSection, const char* lpszEntry, BYTE** ppData, UINT* pBytes)
{
    if (!ppData || !pBytes)
        return FALSE;
    *ppData = nullptr;
    *pBytes = 0;
    HKEY hKey = GetSectionKey(lpszSection, false);
    if (!hKey)
        return FALSE;
    DWORD dwType = 0, dwCount = 0;
    LSTATUS nStatus = ::RegQueryValueExA(hKey, lpszEntry, nullptr, &dwType, nullptr, &dwCount);
    if (nStatus == ERROR_SUCCESS && dwType == REG_BINARY && dwCount > 0)
    {
        *ppData = new BYTE[dwCount];
        nStatus = ::RegQueryValueExA(hKey, lpszEntry, nullptr, &dwType, *ppData, &dwCount);
    }
    ::RegCloseKey(hKey);
    if (nStatus != ERROR_SUCCESS || dwType != REG_BINARY || !*ppData)
    {
        delete[] *ppData;
        *ppData = nullptr;
        return FALSE;
    }
    *pBytes = dwCount;
    return TRUE;
}

BOOL CWinApp::WriteProfileBinary(const char* lpszSection, const char* lpszEntry, LPBYTE pData, UINT nBytes)
{
    HKEY hKey = GetSectionKey(lpszSection, true);
    if (!hKey)
        return FALSE;
    LSTATUS nStatus = ::RegSetValueExA(hKey, lpszEntry, 0, REG_BINARY, pData, nBytes);
    ::RegCloseKey(hKey);
    return nStatus == ERROR_SUCCESS;
}
