// Fixed-function and pipeline state: transforms, material, lights, clip planes, render, sampler
// and stage states, textures, and state-block recording.
#include "device/Device.h"
#include "device/StateBlock.h"
#include "device/Texture.h"

#include <cstring>

HRESULT Device::SetTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix)
{
    CallScope call(m_CallLog, "SetTransform",
                   [&] { return JoinArgs({TransformName(State), FloatsText(pMatrix ? &pMatrix->_11 : nullptr, 16)}); });
    const int slot = TransformSlot(State);
    if (call.Failing() || !pMatrix || slot < 0)
        return call.Result(D3DERR_INVALIDCALL);
    StateTarget target = Target();
    target.state.transforms[slot] = *pMatrix;
    if (target.pMask)
        target.pMask->transforms.set(static_cast<size_t>(slot));
    return call.Result(D3D_OK);
}

HRESULT Device::GetTransform(D3DTRANSFORMSTATETYPE State, D3DMATRIX* pMatrix)
{
    CallScope call(m_CallLog, "GetTransform", [&] { return TransformName(State); });
    const int slot = TransformSlot(State);
    if (call.Failing() || !pMatrix || slot < 0)
        return call.Result(D3DERR_INVALIDCALL);
    *pMatrix = m_State.transforms[slot];
    return call.Result(D3D_OK);
}

HRESULT Device::SetMaterial(const D3DMATERIAL9* pMaterial)
{
    CallScope call(m_CallLog, "SetMaterial", [&] {
        return pMaterial ? FloatsText(&pMaterial->Diffuse.r, 17) : std::string("NULL");
    });
    if (call.Failing() || !pMaterial)
        return call.Result(D3DERR_INVALIDCALL);
    StateTarget target = Target();
    target.state.material = *pMaterial;
    if (target.pMask)
        target.pMask->bMaterial = true;
    return call.Result(D3D_OK);
}

HRESULT Device::GetMaterial(D3DMATERIAL9* pMaterial)
{
    CallScope call(m_CallLog, "GetMaterial", [] { return std::string(); });
    if (call.Failing() || !pMaterial)
        return call.Result(D3DERR_INVALIDCALL);
    *pMaterial = m_State.material;
    return call.Result(D3D_OK);
}

HRESULT Device::SetLight(DWORD Index, const D3DLIGHT9* pLight)
{
    CallScope call(m_CallLog, "SetLight",
                   [&] { return JoinArgs({UintText(Index), pLight ? UintText(pLight->Type) : "NULL"}); });
    if (call.Failing() || !pLight || Index >= MAX_LIGHTS || pLight->Type < D3DLIGHT_POINT ||
        pLight->Type > D3DLIGHT_DIRECTIONAL)
        return call.Result(D3DERR_INVALIDCALL);
    StateTarget target = Target();
    target.state.lights[Index].light = *pLight;
    target.state.lights[Index].bDefined = true;
    if (target.pMask)
        target.pMask->lights.set(Index);
    return call.Result(D3D_OK);
}

HRESULT Device::GetLight(DWORD Index, D3DLIGHT9* pLight)
{
    CallScope call(m_CallLog, "GetLight", [&] { return UintText(Index); });
    if (call.Failing() || !pLight || Index >= MAX_LIGHTS || !m_State.lights[Index].bDefined)
        return call.Result(D3DERR_INVALIDCALL);
    *pLight = m_State.lights[Index].light;
    return call.Result(D3D_OK);
}

HRESULT Device::LightEnable(DWORD Index, BOOL Enable)
{
    CallScope call(m_CallLog, "LightEnable", [&] { return JoinArgs({UintText(Index), Enable ? "TRUE" : "FALSE"}); });
    if (call.Failing() || Index >= MAX_LIGHTS)
        return call.Result(D3DERR_INVALIDCALL);
    StateTarget target = Target();
    LightSlot& slot = target.state.lights[Index];
    // Enabling a light that was never set gives it the default light.
    if (!slot.bDefined)
    {
        slot.light = DefaultLight();
        slot.bDefined = true;
    }
    slot.bEnabled = Enable ? TRUE : FALSE;
    if (target.pMask)
        target.pMask->lightEnables.set(Index);
    return call.Result(D3D_OK);
}

HRESULT Device::GetLightEnable(DWORD Index, BOOL* pEnable)
{
    CallScope call(m_CallLog, "GetLightEnable", [&] { return UintText(Index); });
    if (call.Failing() || !pEnable || Index >= MAX_LIGHTS || !m_State.lights[Index].bDefined)
        return call.Result(D3DERR_INVALIDCALL);
    *pEnable = m_State.lights[Index].bEnabled;
    return call.Result(D3D_OK);
}

HRESULT Device::SetClipPlane(DWORD Index, const float* pPlane)
{
    CallScope call(m_CallLog, "SetClipPlane", [&] { return JoinArgs({UintText(Index), FloatsText(pPlane, 4)}); });
    if (call.Failing() || !pPlane || Index >= MAX_CLIP_PLANES)
        return call.Result(D3DERR_INVALIDCALL);
    StateTarget target = Target();
    std::memcpy(target.state.clipPlanes[Index], pPlane, sizeof(float) * 4);
    if (target.pMask)
        target.pMask->clipPlanes.set(Index);
    return call.Result(D3D_OK);
}

HRESULT Device::GetClipPlane(DWORD Index, float* pPlane)
{
    CallScope call(m_CallLog, "GetClipPlane", [&] { return UintText(Index); });
    if (call.Failing() || !pPlane || Index >= MAX_CLIP_PLANES)
        return call.Result(D3DERR_INVALIDCALL);
    std::memcpy(pPlane, m_State.clipPlanes[Index], sizeof(float) * 4);
    return call.Result(D3D_OK);
}

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE State, DWORD Value)
{
    const StateInfo* pInfo = FindRenderState(State);
    CallScope call(m_CallLog, "SetRenderState",
                   [&] { return JoinArgs({RenderStateName(State), StateValueText(pInfo, Value)}); });
    if (call.Failing() || !pInfo)
        return call.Result(D3DERR_INVALIDCALL);
    StateTarget target = Target();
    target.state.renderStates[State] = Value;
    if (target.pMask)
        target.pMask->renderStates.set(State);
    return call.Result(D3D_OK);
}

HRESULT Device::GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue)
{
    CallScope call(m_CallLog, "GetRenderState", [&] { return RenderStateName(State); });
    if (call.Failing() || !pValue || !FindRenderState(State))
        return call.Result(D3DERR_INVALIDCALL);
    *pValue = m_State.renderStates[State];
    return call.Result(D3D_OK);
}

HRESULT Device::SetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD Value)
{
    const StateInfo* pInfo = FindSamplerState(Type);
    CallScope call(m_CallLog, "SetSamplerState",
                   [&] { return JoinArgs({UintText(Sampler), SamplerStateName(Type), StateValueText(pInfo, Value)}); });
    if (call.Failing() || !pInfo || Sampler >= SAMPLER_COUNT)
        return call.Result(D3DERR_INVALIDCALL);
    StateTarget target = Target();
    target.state.samplerStates[Sampler][Type] = Value;
    if (target.pMask)
        target.pMask->samplerStates.set(Sampler * SAMPLER_STATE_SLOTS + Type);
    return call.Result(D3D_OK);
}

HRESULT Device::GetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD* pValue)
{
    CallScope call(m_CallLog, "GetSamplerState", [&] { return JoinArgs({UintText(Sampler), SamplerStateName(Type)}); });
    if (call.Failing() || !pValue || !FindSamplerState(Type) || Sampler >= SAMPLER_COUNT)
        return call.Result(D3DERR_INVALIDCALL);
    *pValue = m_State.samplerStates[Sampler][Type];
    return call.Result(D3D_OK);
}

HRESULT Device::SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value)
{
    const StateInfo* pInfo = FindStageState(Type);
    CallScope call(m_CallLog, "SetTextureStageState",
                   [&] { return JoinArgs({UintText(Stage), StageStateName(Type), StateValueText(pInfo, Value)}); });
    if (call.Failing() || !pInfo || Stage >= STAGE_COUNT)
        return call.Result(D3DERR_INVALIDCALL);
    StateTarget target = Target();
    target.state.stageStates[Stage][Type] = Value;
    if (target.pMask)
        target.pMask->stageStates.set(Stage * STAGE_STATE_SLOTS + Type);
    return call.Result(D3D_OK);
}

HRESULT Device::GetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD* pValue)
{
    CallScope call(m_CallLog, "GetTextureStageState", [&] { return JoinArgs({UintText(Stage), StageStateName(Type)}); });
    if (call.Failing() || !pValue || !FindStageState(Type) || Stage >= STAGE_COUNT)
        return call.Result(D3DERR_INVALIDCALL);
    *pValue = m_State.stageStates[Stage][Type];
    return call.Result(D3D_OK);
}

HRESULT Device::SetTexture(DWORD Stage, IDirect3DBaseTexture9* pTexture)
{
    CallScope call(m_CallLog, "SetTexture", [&] { return JoinArgs({UintText(Stage), ObjectText(pTexture)}); });
    if (call.Failing() || Stage >= SAMPLER_COUNT)
        return call.Result(D3DERR_INVALIDCALL);
    if (pTexture)
    {
        // Only textures the device can read from may be bound: not system memory or scratch.
        TextureObject* pObject = TextureOf(pTexture);
        if (!pObject || !Owns(pTexture))
            return call.Result(D3DERR_INVALIDCALL);
        const D3DPOOL pool = pObject->GetTextureParams().nPool;
        if (pool == D3DPOOL_SYSTEMMEM || pool == D3DPOOL_SCRATCH)
            return call.Result(D3DERR_INVALIDCALL);
    }
    StateTarget target = Target();
    target.state.textures[Stage].Reset(pTexture);
    if (target.pMask)
        target.pMask->textures.set(Stage);
    return call.Result(D3D_OK);
}

HRESULT Device::GetTexture(DWORD Stage, IDirect3DBaseTexture9** ppTexture)
{
    CallScope call(m_CallLog, "GetTexture", [&] { return UintText(Stage); });
    if (call.Failing() || !ppTexture || Stage >= SAMPLER_COUNT)
        return call.Result(D3DERR_INVALIDCALL);
    *ppTexture = m_State.textures[Stage].Get();
    if (*ppTexture)
        (*ppTexture)->AddRef();
    call.SetOutput(*ppTexture);
    return call.Result(D3D_OK);
}

HRESULT Device::BeginStateBlock()
{
    CallScope call(m_CallLog, "BeginStateBlock", [] { return std::string(); });
    if (call.Failing() || m_pRecording)
        return call.Result(D3DERR_INVALIDCALL);
    m_pRecording = std::make_unique<Recording>();
    ResetToDefaults(m_pRecording->state, false, 0, 0);
    return call.Result(D3D_OK);
}

HRESULT Device::EndStateBlock(IDirect3DStateBlock9** ppSB)
{
    CallScope call(m_CallLog, "EndStateBlock", [] { return std::string(); });
    if (call.Failing() || !ppSB || !m_pRecording)
        return call.Result(D3DERR_INVALIDCALL);
    auto* pBlock = new StateBlock(this, m_pRecording->state, m_pRecording->mask);
    m_pRecording.reset();
    *ppSB = pBlock;
    call.SetOutput(pBlock);
    return call.Result(D3D_OK);
}
