#include "device/CallLog.h"

#include "device/ObjectBase.h"

#include <algorithm>
#include <cstdio>

std::string CallRecord::Text() const
{
    return strMethod + "(" + strArguments + ")";
}

void CallLog::StartRecording()
{
    m_Records.clear();
    m_bRecording = true;
}

std::vector<CallRecord> CallLog::StopRecording()
{
    m_bRecording = false;
    return std::move(m_Records);
}

void CallLog::FailNext(const std::string& strMethod)
{
    m_Failures.push_back(strMethod);
}

bool CallLog::TakeFailure(const char* szMethod)
{
    auto it = std::find(m_Failures.begin(), m_Failures.end(), szMethod);
    if (it == m_Failures.end())
        return false;
    m_Failures.erase(it);
    return true;
}

void CallLog::Add(CallRecord record)
{
    m_Records.push_back(std::move(record));
}

std::string JoinArgs(std::initializer_list<std::string> args)
{
    std::string text;
    for (const std::string& arg : args)
    {
        if (!text.empty())
            text += ", ";
        text += arg;
    }
    return text;
}

std::string ObjectText(IUnknown* pObject)
{
    if (!pObject)
        return "NULL";
    const ObjectBase* pBase = ObjectOf(pObject);
    if (!pBase)
        return "?";
    return std::string(ObjectKindName(pBase->GetKind())) + "#" + std::to_string(pBase->GetId());
}

std::string UintText(UINT value)
{
    return std::to_string(value);
}

std::string IntText(INT value)
{
    return std::to_string(value);
}

std::string FloatText(float value)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%g", static_cast<double>(value));
    return text;
}

std::string HexText(DWORD value)
{
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08X", value);
    return text;
}

std::string FloatsText(const float* pValues, UINT nCount)
{
    if (!pValues)
        return "NULL";
    std::string text = "{";
    for (UINT i = 0; i < nCount; ++i)
        text += (i ? " " : "") + FloatText(pValues[i]);
    return text + "}";
}
