// The sprite object: a reference-counted holder of its device.
#include <d3dx9core.h>

#include <atomic>

namespace
{

class SpriteObject final : public ID3DXSprite
{
public:
    explicit SpriteObject(IDirect3DDevice9* device) : m_device(device) { m_device->AddRef(); }

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override
    {
        if (!ppvObject)
            return E_INVALIDARG;
        if (riid != IID_IUnknown)
        {
            *ppvObject = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        *ppvObject = static_cast<IUnknown*>(this);
        return S_OK;
    }
    ULONG AddRef() override { return ++m_refCount; }
    ULONG Release() override
    {
        const ULONG count = --m_refCount;
        if (count == 0)
            delete this;
        return count;
    }
    HRESULT GetDevice(LPDIRECT3DDEVICE9* ppDevice) override
    {
        if (!ppDevice)
            return D3DERR_INVALIDCALL;
        m_device->AddRef();
        *ppDevice = m_device;
        return D3D_OK;
    }
    HRESULT OnLostDevice() override { return D3D_OK; }
    HRESULT OnResetDevice() override { return D3D_OK; }

private:
    ~SpriteObject() override { m_device->Release(); }

    std::atomic<ULONG> m_refCount{1};
    IDirect3DDevice9* m_device;
};

} // namespace

HRESULT D3DXCreateSprite(LPDIRECT3DDEVICE9 pDevice, LPD3DXSPRITE* ppSprite)
{
    if (!pDevice || !ppSprite)
        return D3DERR_INVALIDCALL;
    *ppSprite = new SpriteObject(pDevice);
    return D3D_OK;
}
