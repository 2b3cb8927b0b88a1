#include <d3dx9shader.h>

#include <atomic>
#include <new>
#include <vector>

namespace
{
// {00000000-0000-0000-C000-000000000046}
constexpr IID IID_IUnknownLocal = {0x00000000, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

class D3DXBuffer final : public ID3DXBuffer
{
public:
    explicit D3DXBuffer(DWORD nBytes) : m_bytes(nBytes) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override
    {
        if (!ppvObject)
            return E_POINTER;
        if (riid == IID_ID3DXBuffer || riid == IID_IUnknownLocal)
        {
            AddRef();
            *ppvObject = static_cast<ID3DXBuffer*>(this);
            return S_OK;
        }
        *ppvObject = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_nRefs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG nRefs = --m_nRefs;
        if (nRefs == 0)
            delete this;
        return nRefs;
    }
    LPVOID STDMETHODCALLTYPE GetBufferPointer() override { return m_bytes.empty() ? nullptr : m_bytes.data(); }
    DWORD STDMETHODCALLTYPE GetBufferSize() override { return (DWORD)m_bytes.size(); }

private:
    std::atomic<ULONG> m_nRefs{1};
    std::vector<BYTE> m_bytes;
};
}

HRESULT D3DXCreateBuffer(DWORD NumBytes, LPD3DXBUFFER* ppBuffer)
{
    if (!ppBuffer)
        return E_INVALIDARG;
    *ppBuffer = new (std::nothrow) D3DXBuffer(NumBytes);
    return *ppBuffer ? S_OK : E_OUTOFMEMORY;
}
