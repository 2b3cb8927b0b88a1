#include "device/ObjectBase.h"

#include "device/Device.h"

#include <algorithm>
#include <mutex>

namespace
{
std::mutex g_RegistryMutex;
std::vector<ObjectBase*>& Registry()
{
    static std::vector<ObjectBase*> objects;
    return objects;
}

const char* const g_KindNames[] = {
    "Direct3D",      "Device", "Texture", "CubeTexture",       "VolumeTexture", "Surface",     "Volume",
    "VertexBuffer", "IndexBuffer", "VertexDeclaration", "VertexShader", "PixelShader", "Query", "StateBlock",
};
}  // namespace

const char* ObjectKindName(ObjectKind kind)
{
    return g_KindNames[static_cast<int>(kind)];
}

ObjectBase::ObjectBase(ObjectKind kind, Device* pDevice, ObjectBase* pOwner)
    : m_Kind(kind), m_pDevice(pDevice), m_pOwner(pOwner)
{
    if (m_pDevice)
    {
        m_pDevice->AddRefInternal();
        m_nId = m_pDevice->NextObjectId();
    }
    if (!m_pOwner)
    {
        std::lock_guard<std::mutex> lock(g_RegistryMutex);
        Registry().push_back(this);
    }
}

ObjectBase::~ObjectBase()
{
    if (!m_pOwner)
    {
        std::lock_guard<std::mutex> lock(g_RegistryMutex);
        auto& objects = Registry();
        objects.erase(std::remove(objects.begin(), objects.end(), this), objects.end());
    }
    if (m_pDevice)
        m_pDevice->ReleaseInternal();
}

ULONG ObjectBase::AddRefPublic()
{
    if (m_pOwner)
        return m_pOwner->AddRefPublic();
    return ++m_nPublic;
}

ULONG ObjectBase::ReleasePublic()
{
    if (m_pOwner)
        return m_pOwner->ReleasePublic();
    if (m_nPublic.load() == 0)
        return 0;  // an extra Release is harmless rather than fatal
    const ULONG nLeft = --m_nPublic;
    if (nLeft == 0)
    {
        // Bindings dropped here may be the last internal references of other objects, but not of
        // this one: hold it until the check below.
        ++m_nInternal;
        OnLastPublicRelease();
        ReleaseInternal();
    }
    return nLeft;
}

void ObjectBase::AddRefInternal()
{
    if (m_pOwner)
    {
        m_pOwner->AddRefInternal();
        return;
    }
    ++m_nInternal;
}

void ObjectBase::ReleaseInternal()
{
    if (m_pOwner)
    {
        m_pOwner->ReleaseInternal();
        return;
    }
    if (--m_nInternal == 0)
        DestroyIfUnused();
}

ULONG ObjectBase::GetPublicCount() const
{
    return m_pOwner ? m_pOwner->GetPublicCount() : m_nPublic.load();
}

void ObjectBase::DestroyIfUnused()
{
    if (m_nPublic.load() == 0 && m_nInternal.load() == 0)
        delete this;
}

const GUID IID_LayerObjectBase = {0x5d3b8e21, 0x7c4a, 0x4f0e, {0x9a, 0x61, 0x2e, 0xb4, 0x0c, 0x17, 0xd8, 0x93}};

ObjectBase* ObjectOf(IUnknown* pUnknown)
{
    void* pObject = nullptr;
    if (!pUnknown || pUnknown->QueryInterface(IID_LayerObjectBase, &pObject) != S_OK)
        return nullptr;
    return static_cast<ObjectBase*>(pObject);
}

std::vector<LiveObjectInfo> ListLiveObjects()
{
    std::lock_guard<std::mutex> lock(g_RegistryMutex);
    std::vector<LiveObjectInfo> list;
    for (ObjectBase* pObject : Registry())
    {
        const Device* pDevice = pObject->GetKind() == ObjectKind::Device ? dynamic_cast<const Device*>(pObject)
                                                                          : pObject->GetOwningDevice();
        list.push_back({pObject->GetKind(), pObject->GetId(), pDevice ? pDevice->GetDeviceNumber() : 0,
                        pObject->GetPublicCount()});
    }
    std::sort(list.begin(), list.end(), [](const LiveObjectInfo& a, const LiveObjectInfo& b) {
        return a.nDeviceId != b.nDeviceId ? a.nDeviceId < b.nDeviceId : a.nId < b.nId;
    });
    return list;
}
