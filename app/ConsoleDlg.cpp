#include "app/ConsoleDlg.h"

#include <cstdio>

bool CConsoleDlg::AddInformation(const char*)
{
    return false;
}

bool CConsoleDlg::AddWarning(const char* szText)
{
    std::fprintf(stderr, "WARNING: %s\n", szText ? szText : "");
    return true;
}

bool CConsoleDlg::AddError(const char* szText)
{
    std::fprintf(stderr, "ERROR: %s\n", szText ? szText : "");
    return true;
}
