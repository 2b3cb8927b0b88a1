#pragma once
// Occlusion queries: the back end counts the pixels that pass depth and stencil between BEGIN
// and END; GetData runs the pending work and returns the count, never S_FALSE.
#include "device/Backend.h"
#include "device/ObjectBase.h"

class Query final : public ComObject<IDirect3DQuery9>
{
public:
    Query(Device* pDevice, D3DQUERYTYPE type);

    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override;
    D3DQUERYTYPE GetType() override { return m_Type; }
    DWORD GetDataSize() override { return sizeof(DWORD); }
    HRESULT Issue(DWORD dwIssueFlags) override;
    HRESULT GetData(void* pData, DWORD dwSize, DWORD dwGetDataFlags) override;

protected:
    bool Implements(REFIID riid) const override;

private:
    enum class Phase
    {
        Idle,      // never issued
        Building,  // between BEGIN and END
        Ended,
    };
    D3DQUERYTYPE m_Type;
    Phase m_Phase = Phase::Idle;
    // Makes the counter zero for a new round. Work still pending from an earlier round holds
    // its counter, which is then left to it and replaced, so it cannot add to the new round.
    void ResetCounter();

    // A zero counter for every BEGIN.
    std::shared_ptr<OcclusionCounter> m_pCounter;
};
