#include "device/Query.h"

#include "device/Device.h"

#include <cstring>

Query::Query(Device* pDevice, D3DQUERYTYPE type) : ComObject(ObjectKind::Query, pDevice), m_Type(type)
{
}

bool Query::Implements(REFIID riid) const
{
    return riid == IID_IDirect3DQuery9;
}

HRESULT Query::GetDevice(IDirect3DDevice9** ppDevice)
{
    return GetDeviceOf(*this, ppDevice);
}

HRESULT Query::Issue(DWORD dwIssueFlags)
{
    CallScope call(GetOwningDevice()->GetCallLog(), "Issue", [&] {
        return JoinArgs({ObjectText(this), dwIssueFlags == D3DISSUE_BEGIN ? "BEGIN"
                                           : dwIssueFlags == D3DISSUE_END ? "END"
                                                                          : UintText(dwIssueFlags)});
    });
    if (call.Failing())
        return call.Result(D3DERR_INVALIDCALL);
    Backend& backend = GetOwningDevice()->GetBackend();
    if (dwIssueFlags == D3DISSUE_BEGIN)
    {
        if (m_Phase == Phase::Building)
            backend.EndOcclusion(m_pCounter);
        ResetCounter();
        backend.BeginOcclusion(m_pCounter);
        m_Phase = Phase::Building;
        return call.Result(D3D_OK);
    }
    if (dwIssueFlags == D3DISSUE_END)
    {
        // An END without a BEGIN counts nothing, as an empty BEGIN/END pair would.
        if (m_Phase == Phase::Building)
            backend.EndOcclusion(m_pCounter);
        else
            ResetCounter();
        m_Phase = Phase::Ended;
        return call.Result(D3D_OK);
    }
    return call.Result(D3DERR_INVALIDCALL);
}

void Query::ResetCounter()
{
    if (m_pCounter && m_pCounter.use_count() == 1)
        m_pCounter->nPixels = 0;
    else
        m_pCounter = std::make_shared<OcclusionCounter>();
}

HRESULT Query::GetData(void* pData, DWORD dwSize, DWORD dwGetDataFlags)
{
    CallScope call(GetOwningDevice()->GetCallLog(), "GetData", [&] {
        return JoinArgs({ObjectText(this), UintText(dwSize), dwGetDataFlags & D3DGETDATA_FLUSH ? "FLUSH" : "0"});
    });
    if (call.Failing() || m_Phase != Phase::Ended || (pData && dwSize < sizeof(DWORD)))
        return call.Result(D3DERR_INVALIDCALL);
    GetOwningDevice()->GetBackend().WaitForCounter(*m_pCounter);
    if (pData)
    {
        const DWORD nCount = static_cast<DWORD>(m_pCounter->nPixels);
        std::memcpy(pData, &nCount, sizeof(DWORD));
    }
    return call.Result(S_OK);
}
