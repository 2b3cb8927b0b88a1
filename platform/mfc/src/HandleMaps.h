#pragma once
// The maps from handles to the MFC objects that own them, and the temporary wrappers FromHandle
// makes for handles no object owns. Temporary wrappers are freed at idle time (AfxDeleteTempMap),
// so a pointer FromHandle returns is good for the handling of the current message.
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

template <typename Object, typename Handle>
class HandleMap
{
public:
    Object* Permanent(Handle h) const
    {
        auto it = m_Permanent.find(h);
        return it == m_Permanent.end() ? nullptr : it->second;
    }
    void SetPermanent(Handle h, Object* p) { m_Permanent[h] = p; }
    void RemovePermanent(Handle h) { m_Permanent.erase(h); }

    // The wrapper for h: the permanent object, else a temporary made by fnMake.
    Object* FromHandle(Handle h, const std::function<std::unique_ptr<Object>(Handle)>& fnMake)
    {
        if (!h)
            return nullptr;
        if (Object* p = Permanent(h))
            return p;
        auto it = m_Temporary.find(h);
        if (it != m_Temporary.end())
            return it->second.get();
        std::unique_ptr<Object> pNew = fnMake(h);
        Object* p = pNew.get();
        m_Temporary.emplace(h, std::move(pNew));
        return p;
    }
    bool IsTemporary(const Object* p) const
    {
        for (const auto& e : m_Temporary)
            if (e.second.get() == p)
                return true;
        return false;
    }
    // Each temporary wrapper lets go of its handle (fnRelease) before it is deleted.
    void DeleteTemporaries(const std::function<void(Object*)>& fnRelease)
    {
        auto temporaries = std::move(m_Temporary);
        m_Temporary.clear();
        for (auto& e : temporaries)
            fnRelease(e.second.get());
    }

private:
    std::unordered_map<Handle, Object*> m_Permanent;
    std::unordered_map<Handle, std::unique_ptr<Object>> m_Temporary;
};

// Registered by each kind of handle map so AfxDeleteTempMap reaches them all.
void RegisterTempMapCleaner(void (*pfnClean)());
