#include "device/Buffers.h"

#include "device/CallLog.h"
#include "device/Device.h"
#include "device/StateTables.h"

BufferStorage::BufferStorage(UINT nLength) : m_pBytes(std::make_shared<BufferBytes>())
{
    m_pBytes->bytes.assign(nLength, 0);
}

HRESULT BufferStorage::Lock(Device& device, UINT nOffset, UINT nSize, void** ppData, DWORD flags)
{
    if (!ppData)
        return D3DERR_INVALIDCALL;
    const UINT nLength = GetLength();
    // Offset and size 0 lock everything; size 0 alone locks from the offset to the end.
    if (nSize == 0)
        nSize = nOffset < nLength ? nLength - nOffset : 0;
    if (nOffset > nLength || nSize > nLength - nOffset)
        return D3DERR_INVALIDCALL;
    device.WaitForBuffer(*m_pBytes);
    if (flags & D3DLOCK_DISCARD)
    {
        auto fresh = std::make_shared<BufferBytes>();
        fresh->bytes.assign(nLength, 0);
        fresh->nVersion = m_pBytes->nVersion + 1;
        m_pBytes = fresh;
    }
    if (!(flags & D3DLOCK_READONLY))
        m_bWritten = true;
    ++m_nLocks;
    *ppData = m_pBytes->bytes.data() + nOffset;
    return D3D_OK;
}

HRESULT BufferStorage::Unlock()
{
    if (m_nLocks == 0)
        return D3DERR_INVALIDCALL;
    if (--m_nLocks == 0 && m_bWritten)
    {
        ++m_pBytes->nVersion;
        m_bWritten = false;
    }
    return D3D_OK;
}

VertexBuffer::VertexBuffer(Device* pDevice, UINT nLength, DWORD nUsage, DWORD nFvf, D3DPOOL nPool)
    : ResourceObject(ObjectKind::VertexBuffer, pDevice, nullptr, D3DRTYPE_VERTEXBUFFER), m_Storage(nLength),
      m_nUsage(nUsage), m_nFvf(nFvf), m_nPool(nPool)
{
}

bool VertexBuffer::Implements(REFIID riid) const
{
    return riid == IID_IDirect3DResource9 || riid == IID_IDirect3DVertexBuffer9;
}

HRESULT VertexBuffer::Lock(UINT OffsetToLock, UINT SizeToLock, void** ppbData, DWORD Flags)
{
    CallScope call(GetOwningDevice()->GetCallLog(), "Lock", [&] {
        return JoinArgs({ObjectText(this), UintText(OffsetToLock), UintText(SizeToLock), LockFlagsText(Flags)});
    });
    if (call.Failing())
        return call.Result(D3DERR_INVALIDCALL);
    return call.Result(m_Storage.Lock(*GetOwningDevice(), OffsetToLock, SizeToLock, ppbData, Flags));
}

HRESULT VertexBuffer::Unlock()
{
    CallScope call(GetOwningDevice()->GetCallLog(), "Unlock", [&] { return ObjectText(this); });
    if (call.Failing())
        return call.Result(D3DERR_INVALIDCALL);
    return call.Result(m_Storage.Unlock());
}

HRESULT VertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* pDesc)
{
    if (!pDesc)
        return D3DERR_INVALIDCALL;
    *pDesc = {D3DFMT_VERTEXDATA, D3DRTYPE_VERTEXBUFFER, m_nUsage, m_nPool, m_Storage.GetLength(), m_nFvf};
    return D3D_OK;
}

IndexBuffer::IndexBuffer(Device* pDevice, UINT nLength, DWORD nUsage, D3DFORMAT nFormat, D3DPOOL nPool)
    : ResourceObject(ObjectKind::IndexBuffer, pDevice, nullptr, D3DRTYPE_INDEXBUFFER), m_Storage(nLength),
      m_nUsage(nUsage), m_nFormat(nFormat), m_nPool(nPool)
{
}

bool IndexBuffer::Implements(REFIID riid) const
{
    return riid == IID_IDirect3DResource9 || riid == IID_IDirect3DIndexBuffer9;
}

HRESULT IndexBuffer::Lock(UINT OffsetToLock, UINT SizeToLock, void** ppbData, DWORD Flags)
{
    CallScope call(GetOwningDevice()->GetCallLog(), "Lock", [&] {
        return JoinArgs({ObjectText(this), UintText(OffsetToLock), UintText(SizeToLock), LockFlagsText(Flags)});
    });
    if (call.Failing())
        return call.Result(D3DERR_INVALIDCALL);
    return call.Result(m_Storage.Lock(*GetOwningDevice(), OffsetToLock, SizeToLock, ppbData, Flags));
}

HRESULT IndexBuffer::Unlock()
{
    CallScope call(GetOwningDevice()->GetCallLog(), "Unlock", [&] { return ObjectText(this); });
    if (call.Failing())
        return call.Result(D3DERR_INVALIDCALL);
    return call.Result(m_Storage.Unlock());
}

HRESULT IndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* pDesc)
{
    if (!pDesc)
        return D3DERR_INVALIDCALL;
    *pDesc = {m_nFormat, D3DRTYPE_INDEXBUFFER, m_nUsage, m_nPool, m_Storage.GetLength()};
    return D3D_OK;
}
