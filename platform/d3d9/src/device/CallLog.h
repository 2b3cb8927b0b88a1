#pragma once
// The device's recording choke point: every IDirect3DDevice9 call passes through one CallScope,
// which can make the call fail on request (failure injection) and, while a recorder is
// attached, appends the call's text form and result to it.
#include <d3d9.h>

#include <initializer_list>
#include <string>
#include <vector>

struct CallRecord
{
    uint64_t nSequence;
    std::string strMethod;     // "SetRenderState"
    std::string strArguments;  // "ZFUNC, LESSEQUAL"
    std::string strOutput;     // the object a Create*/Get* call returned, "Texture#3", else empty
    HRESULT hResult;

    // "SetRenderState(ZFUNC, LESSEQUAL)"
    std::string Text() const;
};

class CallLog
{
public:
    bool IsRecording() const { return m_bRecording; }
    void StartRecording();
    // Stops and hands back what was recorded since StartRecording.
    std::vector<CallRecord> StopRecording();
    const std::vector<CallRecord>& GetRecords() const { return m_Records; }

    // The next call of that method fails with D3DERR_INVALIDCALL (as many times as requested).
    void FailNext(const std::string& strMethod);
    bool TakeFailure(const char* szMethod);

    void Add(CallRecord record);
    uint64_t NextSequence() { return ++m_nSequence; }

private:
    bool m_bRecording = false;
    uint64_t m_nSequence = 0;
    std::vector<CallRecord> m_Records;
    std::vector<std::string> m_Failures;
};

// Text of arguments for the recorder.
std::string JoinArgs(std::initializer_list<std::string> args);
std::string ObjectText(IUnknown* pObject);  // "Texture#3", or "NULL"
std::string UintText(UINT value);
std::string IntText(INT value);
std::string FloatText(float value);
std::string HexText(DWORD value);
std::string FloatsText(const float* pValues, UINT nCount);

// One device call. MakeArgs builds the argument text and runs only while recording, so an
// unrecorded call costs a flag test.
template <class MakeArgs>
class CallScope
{
public:
    CallScope(CallLog& log, const char* szMethod, MakeArgs makeArgs)
        : m_Log(log), m_szMethod(szMethod), m_MakeArgs(std::move(makeArgs))
    {
    }
    // True when this call was asked to fail; the caller then returns Result(D3DERR_INVALIDCALL).
    bool Failing() { return m_Log.TakeFailure(m_szMethod); }
    void SetOutput(IUnknown* pObject) { m_pOutput = pObject; }
    HRESULT Result(HRESULT hr)
    {
        if (m_Log.IsRecording())
            m_Log.Add({m_Log.NextSequence(), m_szMethod, m_MakeArgs(),
                       SUCCEEDED(hr) && m_pOutput ? ObjectText(m_pOutput) : std::string(), hr});
        return hr;
    }

private:
    CallLog& m_Log;
    const char* m_szMethod;
    MakeArgs m_MakeArgs;
    IUnknown* m_pOutput = nullptr;
};
