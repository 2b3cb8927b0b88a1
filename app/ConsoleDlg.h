#pragma once
// The console log window until the window toolkit's list window takes its place: its rows go to
// standard error. It is not the log's listener, since the log echoes warnings and errors there
// itself; it serves callers that address the console directly.
class CConsoleDlg
{
public:
    // Information rows are dropped, as the console does; false.
    bool AddInformation(const char* szText);
    bool AddWarning(const char* szText);
    bool AddError(const char* szText);
};
