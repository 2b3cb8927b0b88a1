#pragma once
// Vertex and index buffers: plain bytes. Every pool and usage locks and reads back its current
// contents (WRITEONLY included); DISCARD swaps in fresh zeroed bytes so pending work keeps the
// old ones.
#include "device/Resource.h"

#include <memory>
#include <vector>

struct BufferBytes
{
    std::vector<BYTE> bytes;
    uint64_t nVersion = 0;
};

// The lockable bytes of one buffer. Buffers allow nested locks, as the public API does.
class BufferStorage
{
public:
    explicit BufferStorage(UINT nLength);
    HRESULT Lock(Device& device, UINT nOffset, UINT nSize, void** ppData, DWORD flags);
    HRESULT Unlock();
    UINT GetLength() const { return static_cast<UINT>(m_pBytes->bytes.size()); }
    const std::shared_ptr<BufferBytes>& GetBytes() const { return m_pBytes; }

private:
    std::shared_ptr<BufferBytes> m_pBytes;
    UINT m_nLocks = 0;
    bool m_bWritten = false;
};

class VertexBuffer final : public ResourceObject<IDirect3DVertexBuffer9>
{
public:
    VertexBuffer(Device* pDevice, UINT nLength, DWORD nUsage, DWORD nFvf, D3DPOOL nPool);

    HRESULT Lock(UINT OffsetToLock, UINT SizeToLock, void** ppbData, DWORD Flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* pDesc) override;

    D3DPOOL GetPool() const { return m_nPool; }
    BufferStorage& GetStorage() { return m_Storage; }

protected:
    bool Implements(REFIID riid) const override;

private:
    BufferStorage m_Storage;
    DWORD m_nUsage;
    DWORD m_nFvf;
    D3DPOOL m_nPool;
};

class IndexBuffer final : public ResourceObject<IDirect3DIndexBuffer9>
{
public:
    IndexBuffer(Device* pDevice, UINT nLength, DWORD nUsage, D3DFORMAT nFormat, D3DPOOL nPool);

    HRESULT Lock(UINT OffsetToLock, UINT SizeToLock, void** ppbData, DWORD Flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* pDesc) override;

    D3DPOOL GetPool() const { return m_nPool; }
    D3DFORMAT GetFormat() const { return m_nFormat; }
    BufferStorage& GetStorage() { return m_Storage; }

protected:
    bool Implements(REFIID riid) const override;

private:
    BufferStorage m_Storage;
    DWORD m_nUsage;
    D3DFORMAT m_nFormat;
    D3DPOOL m_nPool;
};
