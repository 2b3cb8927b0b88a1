#pragma once
// The program-wide log functions. Every subsystem reports problems through them, as
// "Class::Operation() - reason.". Warnings and errors are kept as typed, dated lines for the
// console log window and echoed to standard error; information and trace lines are formatted
// and dropped.
#include <cstdarg>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

enum LogType
{
    LOG_INFORMATION = 0,
    LOG_WARNING = 1,
    LOG_ERROR = 2,
    LOG_QUESTION = 3,
    LOG_NOTHING = 4,
};

// "INFORMATION", "WARNING", "ERROR", "QUESTION", "NOTHING"; null for other codes.
const char* LogTypeName(int nType);

struct LogLine
{
    LogType m_nType;
    std::string m_strText;
    std::time_t m_tTime;
};

// A formatted line is cut to this many characters.
constexpr int LOG_LINE_MAX = 511;

bool LogInfo(const char* szFormat, ...) __attribute__((format(printf, 1, 2)));
bool LogWarning(const char* szFormat, ...) __attribute__((format(printf, 1, 2)));
bool LogError(const char* szFormat, ...) __attribute__((format(printf, 1, 2)));
bool LogTrace(const char* szFormat, ...) __attribute__((format(printf, 1, 2)));

// The kept warning and error lines, oldest first; at most LOG_KEEP_MAX, the oldest dropped first.
constexpr size_t LOG_KEEP_MAX = 4096;
const std::vector<LogLine>& GetLogLines();
void ClearLogLines();

// The console log window registers here to be told of each kept line; null unregisters.
using LogListener = std::function<void(const LogLine&)>;
void SetLogListener(LogListener listener);

// Standard-error echo; tests that provoke warnings on purpose may turn it off.
void SetLogEcho(bool bEcho);

// "%Y-%m-%d %H:%M:%S" in local time, as the console lists it.
std::string FormatLogTime(std::time_t tTime);
