// Finding windows for tests and scripts: "main", "#id", "class:Name", "title:Text", or a path of
// these joined by '/', each part looked for below the window the previous part found.
#include <win32/testing.h>

#include <cstdlib>
#include <strings.h>

namespace
{
std::vector<std::string> SplitPath(const std::string& strSelector)
{
    std::vector<std::string> parts;
    std::string part;
    bool bQuoted = false;
    for (char c : strSelector)
    {
        if (c == '"')
            bQuoted = !bQuoted;
        if (c == '/' && !bQuoted)
        {
            parts.push_back(part);
            part.clear();
        }
        else
            part += c;
    }
    parts.push_back(part);
    return parts;
}

std::string Unquote(const std::string& s)
{
    return s.size() >= 2 && s.front() == '"' && s.back() == '"' ? s.substr(1, s.size() - 2) : s;
}

bool Matches(HWND hWnd, const std::string& part)
{
    if (part == "main")
        return hWnd == win32::GetMainWindow();
    if (part.size() > 1 && part[0] == '#')
    {
        char* pEnd = nullptr;
        long nId = std::strtol(part.c_str() + 1, &pEnd, 10);
        return *pEnd == 0 && GetDlgCtrlID(hWnd) == nId;
    }
    if (part.rfind("class:", 0) == 0)
    {
        char szClass[256];
        return GetClassNameA(hWnd, szClass, sizeof(szClass)) > 0 && strcasecmp(szClass, Unquote(part.substr(6)).c_str()) == 0;
    }
    if (part.rfind("title:", 0) == 0)
    {
        std::string text(static_cast<size_t>(GetWindowTextLengthA(hWnd)) + 1, '\0');
        text.resize(static_cast<size_t>(GetWindowTextA(hWnd, text.data(), static_cast<int>(text.size()))));
        return text == Unquote(part.substr(6));
    }
    return false;
}

// Depth first, parents before children, siblings from the top of the z-order down.
HWND FindBelow(HWND hParent, const std::string& part)
{
    for (HWND h = GetWindow(hParent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
    {
        if (Matches(h, part))
            return h;
        if (HWND hDeeper = FindBelow(h, part))
            return hDeeper;
    }
    return nullptr;
}
}

namespace win32
{
HWND Driver::find(const std::string& strSelector) const
{
    HWND hFound = GetDesktopWindow();
    for (const std::string& part : SplitPath(strSelector))
        if (!(hFound = FindBelow(hFound, part)))
            return nullptr;
    return hFound;
}
}
