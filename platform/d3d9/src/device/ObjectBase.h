#pragma once
// Lifetime of every object the device hands out. Each has a public count (AddRef/Release, what
// the caller sees) and an internal count (bindings, state blocks, pending work and the objects
// that belong to the device). It is destroyed when both reach zero, so releasing a bound texture
// returns 0 yet leaves it usable until it is unbound. Level and face surfaces forward both counts
// to their texture, so a held surface keeps its texture alive.
#include <d3d9.h>

#include <atomic>
#include <string>
#include <vector>

class Device;

enum class ObjectKind
{
    Direct3D,
    Device,
    Texture,
    CubeTexture,
    VolumeTexture,
    Surface,
    Volume,
    VertexBuffer,
    IndexBuffer,
    VertexDeclaration,
    VertexShader,
    PixelShader,
    Query,
    StateBlock,
};

const char* ObjectKindName(ObjectKind kind);

class ObjectBase
{
public:
    // pDevice: the owning device (null for the Direct3D object and the device itself); pOwner:
    // the texture whose counts this object shares (levels and faces), else null.
    ObjectBase(ObjectKind kind, Device* pDevice, ObjectBase* pOwner = nullptr);
    virtual ~ObjectBase();
    ObjectBase(const ObjectBase&) = delete;
    ObjectBase& operator=(const ObjectBase&) = delete;

    ULONG AddRefPublic();
    ULONG ReleasePublic();
    void AddRefInternal();
    void ReleaseInternal();
    ULONG GetPublicCount() const;

    ObjectKind GetKind() const { return m_Kind; }
    UINT GetId() const { return m_nId; }
    Device* GetOwningDevice() const { return m_pDevice; }
    ObjectBase* GetOwner() const { return m_pOwner; }

protected:
    // Called once when the public count first reaches zero (the device drops its bindings here).
    virtual void OnLastPublicRelease() {}
    // The Direct3D object and the device number themselves; everything else asks its device.
    void SetId(UINT nId) { m_nId = nId; }

private:
    void DestroyIfUnused();

    ObjectKind m_Kind;
    Device* m_pDevice;
    ObjectBase* m_pOwner;
    UINT m_nId = 0;
    std::atomic<ULONG> m_nPublic{1};
    std::atomic<ULONG> m_nInternal{0};
};

// The implementation behind an interface pointer handed out by this layer, or null.
ObjectBase* ObjectOf(IUnknown* pUnknown);

// An identifier only this layer's objects answer in QueryInterface, with their ObjectBase and
// without adding a reference: ObjectOf's way to the object, one virtual call instead of a cast
// across the class hierarchy.
extern const GUID IID_LayerObjectBase;

// Every live object of every device, for the test hook and for leak reports.
struct LiveObjectInfo
{
    ObjectKind kind;
    UINT nId;
    UINT nDeviceId;
    ULONG nPublicCount;
};
std::vector<LiveObjectInfo> ListLiveObjects();

// The IUnknown part of every interface implementation: counts go to ObjectBase, and
// QueryInterface answers the interface identifiers the object implements.
template <class Interface>
class ComObject : public Interface, public ObjectBase
{
public:
    using ObjectBase::ObjectBase;

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override
    {
        if (!ppvObject)
            return E_POINTER;
        *ppvObject = nullptr;
        if (riid == IID_LayerObjectBase)
        {
            *ppvObject = static_cast<ObjectBase*>(this);
            return S_OK;
        }
        if (riid == IID_IUnknown || Implements(riid))
        {
            AddRefPublic();
            *ppvObject = static_cast<Interface*>(this);
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return AddRefPublic(); }
    ULONG Release() override { return ReleasePublic(); }

protected:
    virtual bool Implements(REFIID riid) const = 0;
};

// A reference the device holds on a bound object: keeps it alive without showing in its count.
// The object behind the interface is found once, when the reference is made, so copies and
// releases of bindings cost no cast.
template <class T>
class BoundRef
{
public:
    BoundRef() = default;
    explicit BoundRef(T* p) : m_p(p), m_pObject(p ? ObjectOf(p) : nullptr) { Acquire(); }
    BoundRef(const BoundRef& other) : m_p(other.m_p), m_pObject(other.m_pObject) { Acquire(); }
    BoundRef& operator=(const BoundRef& other)
    {
        if (other.m_p != m_p)
        {
            ObjectBase* pOld = m_pObject;
            m_p = other.m_p;
            m_pObject = other.m_pObject;
            Acquire();
            if (pOld)
                pOld->ReleaseInternal();
        }
        return *this;
    }
    ~BoundRef()
    {
        if (m_pObject)
            m_pObject->ReleaseInternal();
    }
    void Reset(T* p = nullptr) { *this = BoundRef(p); }
    T* Get() const { return m_p; }
    ObjectBase* Object() const { return m_pObject; }
    explicit operator bool() const { return m_p != nullptr; }
    bool operator==(const BoundRef& other) const { return m_p == other.m_p; }

private:
    void Acquire()
    {
        if (m_pObject)
            m_pObject->AddRefInternal();
    }
    T* m_p = nullptr;
    ObjectBase* m_pObject = nullptr;
};

// The object behind an interface pointer as its class Object, when it is of that kind, else null.
template <class Object>
Object* ObjectAs(IUnknown* pUnknown, ObjectKind kind)
{
    ObjectBase* pObject = ObjectOf(pUnknown);
    return pObject && pObject->GetKind() == kind ? static_cast<Object*>(pObject) : nullptr;
}

// The bound object as its class Object, when it is of that kind (the device binds only its own
// objects, checked when they are set), else null.
template <class Object, class T>
Object* BoundAs(const BoundRef<T>& ref, ObjectKind kind)
{
    ObjectBase* pObject = ref.Object();
    return pObject && pObject->GetKind() == kind ? static_cast<Object*>(pObject) : nullptr;
}
