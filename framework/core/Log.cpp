#include "core/Log.h"

#include <cstdio>

namespace
{
std::vector<LogLine> g_LogLines;
LogListener g_LogListener;
bool g_bLogEcho = true;

std::string FormatLine(const char* szFormat, va_list args)
{
    char szBuffer[LOG_LINE_MAX + 1];
    int n = std::vsnprintf(szBuffer, sizeof(szBuffer), szFormat, args);
    if (n < 0)
        return std::string();
    return std::string(szBuffer);
}

bool Keep(LogType nType, const char* szFormat, va_list args)
{
    LogLine line{nType, FormatLine(szFormat, args), std::time(nullptr)};
    if (g_bLogEcho)
        std::fprintf(stderr, "%s: %s\n", LogTypeName(nType), line.m_strText.c_str());
    if (g_LogLines.size() >= LOG_KEEP_MAX)
        g_LogLines.erase(g_LogLines.begin(), g_LogLines.begin() + LOG_KEEP_MAX / 4);
    g_LogLines.push_back(line);
    if (g_LogListener)
        g_LogListener(g_LogLines.back());
    return true;
}
}

const char* LogTypeName(int nType)
{
    static const char* const s_Names[] = {"INFORMATION", "WARNING", "ERROR", "QUESTION", "NOTHING"};
    if (nType < 0 || nType > LOG_NOTHING)
        return nullptr;
    return s_Names[nType];
}

bool LogInfo(const char* szFormat, ...)
{
    va_list args;
    va_start(args, szFormat);
    FormatLine(szFormat, args);
    va_end(args);
    return false;
}

bool LogTrace(const char* szFormat, ...)
{
    va_list args;
    va_start(args, szFormat);
    FormatLine(szFormat, args);
    va_end(args);
    return false;
}

bool LogWarning(const char* szFormat, ...)
{
    va_list args;
    va_start(args, szFormat);
    bool bResult = Keep(LOG_WARNING, szFormat, args);
    va_end(args);
    return bResult;
}

bool LogError(const char* szFormat, ...)
{
    va_list args;
    va_start(args, szFormat);
    bool bResult = Keep(LOG_ERROR, szFormat, args);
    va_end(args);
    return bResult;
}

const std::vector<LogLine>& GetLogLines()
{
    return g_LogLines;
}

void ClearLogLines()
{
    g_LogLines.clear();
}

void SetLogListener(LogListener listener)
{
    g_LogListener = std::move(listener);
}

void SetLogEcho(bool bEcho)
{
    g_bLogEcho = bEcho;
}

std::string FormatLogTime(std::time_t tTime)
{
    std::tm local{};
    localtime_r(&tTime, &local);
    char szBuffer[32];
    std::strftime(szBuffer, sizeof(szBuffer), "%Y-%m-%d %H:%M:%S", &local);
    return szBuffer;
}
