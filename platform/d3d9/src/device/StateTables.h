#pragma once
// The tables of every render, sampler and texture-stage state: its name, its documented default
// and how its values are named. Defaults, validation, the call recorder's text and state diffs
// all read these tables.
#include <d3d9.h>

#include <span>
#include <string>

struct ValueName
{
    DWORD nValue;
    const char* szName;
};

struct StateInfo
{
    DWORD nState;
    const char* szName;  // without the D3DRS_/D3DSAMP_/D3DTSS_ prefix
    DWORD nDefault;
    std::span<const ValueName> values;  // empty: shown as a number
};

constexpr UINT RENDER_STATE_SLOTS = 256;
constexpr UINT SAMPLER_COUNT = 16;
constexpr UINT SAMPLER_STATE_SLOTS = 14;
constexpr UINT STAGE_COUNT = 8;
constexpr UINT STAGE_STATE_SLOTS = 33;

std::span<const StateInfo> RenderStateTable();
std::span<const StateInfo> SamplerStateTable();
std::span<const StateInfo> StageStateTable();

// The entry of a state, or null for a value that is not a state.
const StateInfo* FindRenderState(DWORD state);
const StateInfo* FindSamplerState(DWORD state);
const StateInfo* FindStageState(DWORD state);

// "ZFUNC"; a number for an unknown state.
std::string RenderStateName(DWORD state);
std::string SamplerStateName(DWORD state);
std::string StageStateName(DWORD state);
// A state's value as its name ("LESSEQUAL"), or as a number when the state has no names for it.
std::string StateValueText(const StateInfo* pInfo, DWORD value);

// Names of other enumerations, for the call recorder.
std::string TransformName(DWORD state);
std::string PrimitiveName(DWORD type);
std::string PoolName(DWORD pool);
std::string UsageText(DWORD usage);
std::string LockFlagsText(DWORD flags);
std::string ClearFlagsText(DWORD flags);
std::string FvfText(DWORD fvf);
