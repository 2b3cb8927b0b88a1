// The library's objects: the file object with its template table, the enumerator over a
// file's top-level objects, data objects and references.
#include "XDataReader.h"

#include <dxfile.h>
#include <rmxfguid.h>
#include <win32/resources.h>

#include "core/FileIO.h"
#include "core/Log.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

namespace
{
constexpr GUID kIID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Reference counting shared by the objects below.
template <class Interface>
class RefCounted : public Interface
{
public:
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_nRefs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG nRefs = --m_nRefs;
        if (nRefs == 0)
            delete this;
        return nRefs;
    }

protected:
    // Hands out this object for any of the listed identifiers.
    HRESULT Answer(REFIID riid, void** ppvObject, std::initializer_list<const GUID*> ids)
    {
        if (!ppvObject)
            return E_POINTER;
        for (const GUID* pId : ids)
            if (riid == *pId)
            {
                AddRef();
                *ppvObject = static_cast<Interface*>(this);
                return S_OK;
            }
        *ppvObject = nullptr;
        return E_NOINTERFACE;
    }

private:
    std::atomic<ULONG> m_nRefs{1};
};

HRESULT CopyName(const std::string& name, LPSTR pstrNameBuf, LPDWORD pdwBufLen)
{
    if (!pdwBufLen)
        return DXFILEERR_BADVALUE;
    DWORD nNeeded = (DWORD)name.size() + 1;
    if (!pstrNameBuf)
    {
        *pdwBufLen = nNeeded;
        return DXFILE_OK;
    }
    if (*pdwBufLen < nNeeded)
        return DXFILEERR_BADVALUE;
    std::memcpy(pstrNameBuf, name.c_str(), nNeeded);
    *pdwBufLen = nNeeded;
    return DXFILE_OK;
}

IDirectXFileObject* WrapNode(const std::shared_ptr<XNode>& pNode);

class DataObject final : public RefCounted<IDirectXFileData>
{
public:
    explicit DataObject(std::shared_ptr<XNode> pNode) : m_pNode(std::move(pNode)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override
    {
        return Answer(riid, ppvObject, {&kIID_IUnknown, &IID_IDirectXFileObject, &IID_IDirectXFileData});
    }
    HRESULT GetName(LPSTR pstrNameBuf, LPDWORD pdwBufLen) override
    {
        return CopyName(m_pNode->strName, pstrNameBuf, pdwBufLen);
    }
    HRESULT GetId(GUID* pGuid) override
    {
        if (!pGuid)
            return DXFILEERR_BADVALUE;
        *pGuid = m_pNode->id;
        return DXFILE_OK;
    }
    HRESULT GetData(LPCSTR szMember, DWORD* pcbSize, void** ppvData) override
    {
        if (!pcbSize || !ppvData)
            return DXFILEERR_BADVALUE;
        if (!szMember)
        {
            *pcbSize = (DWORD)m_pNode->data.size();
            *ppvData = m_pNode->data.data();
            return DXFILE_OK;
        }
        const std::vector<XMember>& members = m_pNode->pTemplate->members;
        for (size_t i = 0; i < members.size() && i < m_pNode->memberSpans.size(); ++i)
            if (members[i].strName == szMember)
            {
                *pcbSize = (DWORD)m_pNode->memberSpans[i].nSize;
                *ppvData = m_pNode->data.data() + m_pNode->memberSpans[i].nOffset;
                return DXFILE_OK;
            }
        return DXFILEERR_NOTFOUND;
    }
    HRESULT GetType(const GUID** ppguid) override
    {
        if (!ppguid)
            return DXFILEERR_BADVALUE;
        *ppguid = &m_pNode->pTemplate->guid;
        return DXFILE_OK;
    }
    HRESULT GetNextObject(LPDIRECTXFILEOBJECT* ppChildObj) override
    {
        if (!ppChildObj)
            return DXFILEERR_BADVALUE;
        *ppChildObj = nullptr;
        if (m_nNextChild >= m_pNode->children.size())
            return DXFILEERR_NOMOREOBJECTS;
        *ppChildObj = WrapNode(m_pNode->children[m_nNextChild]);
        if (!*ppChildObj)
            return DXFILEERR_BADALLOC;
        ++m_nNextChild;
        return DXFILE_OK;
    }

private:
    std::shared_ptr<XNode> m_pNode;
    size_t m_nNextChild = 0;
};

class ReferenceObject final : public RefCounted<IDirectXFileDataReference>
{
public:
    explicit ReferenceObject(std::shared_ptr<XNode> pNode) : m_pNode(std::move(pNode)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override
    {
        return Answer(riid, ppvObject, {&kIID_IUnknown, &IID_IDirectXFileObject, &IID_IDirectXFileDataReference});
    }
    HRESULT GetName(LPSTR pstrNameBuf, LPDWORD pdwBufLen) override
    {
        return CopyName(m_pNode->strName, pstrNameBuf, pdwBufLen);
    }
    HRESULT GetId(GUID* pGuid) override
    {
        if (!pGuid)
            return DXFILEERR_BADVALUE;
        *pGuid = m_pNode->id;
        return DXFILE_OK;
    }
    HRESULT Resolve(LPDIRECTXFILEDATA* ppDataObj) override
    {
        if (!ppDataObj)
            return DXFILEERR_BADVALUE;
        *ppDataObj = nullptr;
        if (!m_pNode->pTarget)
            return DXFILEERR_NOTFOUND;
        *ppDataObj = new (std::nothrow) DataObject(m_pNode->pTarget);
        return *ppDataObj ? DXFILE_OK : DXFILEERR_BADALLOC;
    }

private:
    std::shared_ptr<XNode> m_pNode;
};

IDirectXFileObject* WrapNode(const std::shared_ptr<XNode>& pNode)
{
    if (pNode->kind == XNode::Kind::Reference)
        return new (std::nothrow) ReferenceObject(pNode);
    return new (std::nothrow) DataObject(pNode);
}

class EnumObject final : public RefCounted<IDirectXFileEnumObject>
{
public:
    XDataReader m_reader;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override
    {
        return Answer(riid, ppvObject, {&kIID_IUnknown, &IID_IDirectXFileEnumObject});
    }
    HRESULT GetNextDataObject(LPDIRECTXFILEDATA* ppDataObj) override
    {
        if (!ppDataObj)
            return DXFILEERR_BADVALUE;
        *ppDataObj = nullptr;
        std::shared_ptr<XNode> pNode;
        HRESULT hr = m_reader.ReadNext(pNode);
        if (hr == DXFILEERR_NOMOREOBJECTS)
            return hr;
        if (FAILED(hr))
        {
            if (!m_bReported)
                LogWarning("IDirectXFileEnumObject::GetNextDataObject() - %s.", m_reader.ErrorText().c_str());
            m_bReported = true;
            return hr;
        }
        *ppDataObj = new (std::nothrow) DataObject(pNode);
        return *ppDataObj ? DXFILE_OK : DXFILEERR_BADALLOC;
    }
    HRESULT GetDataObjectById(REFGUID rguid, LPDIRECTXFILEDATA* ppDataObj) override
    {
        return Wrap(m_reader.FindById(rguid), ppDataObj);
    }
    HRESULT GetDataObjectByName(LPCSTR szName, LPDIRECTXFILEDATA* ppDataObj) override
    {
        return Wrap(szName ? m_reader.FindByName(szName) : nullptr, ppDataObj);
    }

private:
    static HRESULT Wrap(const std::shared_ptr<XNode>& pNode, LPDIRECTXFILEDATA* ppDataObj)
    {
        if (!ppDataObj)
            return DXFILEERR_BADVALUE;
        *ppDataObj = nullptr;
        if (!pNode || pNode->kind != XNode::Kind::Data)
            return DXFILEERR_NOTFOUND;
        *ppDataObj = new (std::nothrow) DataObject(pNode);
        return *ppDataObj ? DXFILE_OK : DXFILEERR_BADALLOC;
    }

    bool m_bReported = false;
};

// The bytes of a resource named by DXFILELOADRESOURCE; false when there is none.
bool FindResourceBytes(const DXFILELOADRESOURCE& source, const BYTE*& pData, size_t& nSize)
{
    if (!source.lpType)
        return false;
    int nId;
    uintptr_t nName = reinterpret_cast<uintptr_t>(source.lpName);
    if (nName < 0x10000)
        nId = (int)nName;
    else
    {
        const char* szName = source.lpName[0] == '#' ? source.lpName + 1 : source.lpName;
        char* pEnd = nullptr;
        long nValue = std::strtol(szName, &pEnd, 10);
        if (pEnd == szName || *pEnd != '\0' || nValue < 0 || nValue > 0xffff)
            return false;
        nId = (int)nValue;
    }
    const ResourceEntry* pEntry = FindResourceEntry(source.lpType, nId);
    if (!pEntry)
        return false;
    pData = static_cast<const BYTE*>(pEntry->m_pData);
    nSize = pEntry->m_nSize;
    return true;
}

class DirectXFileObject final : public RefCounted<IDirectXFile>
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override
    {
        return Answer(riid, ppvObject, {&kIID_IUnknown, &IID_IDirectXFile});
    }

    HRESULT CreateEnumObject(LPVOID pvSource, DXFILELOADOPTIONS dwLoadOptions,
                             LPDIRECTXFILEENUMOBJECT* ppEnumObj) override
    {
        if (!ppEnumObj || !pvSource)
            return DXFILEERR_BADVALUE;
        *ppEnumObj = nullptr;
        std::vector<uint8_t> fileBytes;
        const BYTE* pData = nullptr;
        size_t nSize = 0;
        switch (dwLoadOptions)
        {
        case DXFILELOAD_FROMFILE:
            if (!ReadWholeFile(static_cast<const char*>(pvSource), fileBytes))
                return DXFILEERR_FILENOTFOUND;
            pData = fileBytes.data();
            nSize = fileBytes.size();
            break;
        case DXFILELOAD_FROMRESOURCE:
            if (!FindResourceBytes(*static_cast<const DXFILELOADRESOURCE*>(pvSource), pData, nSize))
                return DXFILEERR_RESOURCENOTFOUND;
            break;
        case DXFILELOAD_FROMMEMORY:
        {
            const DXFILELOADMEMORY* pMemory = static_cast<const DXFILELOADMEMORY*>(pvSource);
            if (!pMemory->lpMemory)
                return DXFILEERR_BADVALUE;
            pData = static_cast<const BYTE*>(pMemory->lpMemory);
            nSize = pMemory->dSize;
            break;
        }
        default:
            return DXFILEERR_BADVALUE;
        }
        EnumObject* pEnum = new (std::nothrow) EnumObject;
        if (!pEnum)
            return DXFILEERR_BADALLOC;
        HRESULT hr = pEnum->m_reader.Open(pData, nSize, m_templates);
        if (FAILED(hr))
        {
            LogWarning("IDirectXFile::CreateEnumObject() - not a text or binary .x file.");
            pEnum->Release();
            return hr;
        }
        *ppEnumObj = pEnum;
        return DXFILE_OK;
    }

    HRESULT CreateSaveObject(LPCSTR, DXFILEFORMAT, LPVOID* ppSaveObj) override
    {
        if (ppSaveObj)
            *ppSaveObj = nullptr;
        return E_NOTIMPL;
    }

    HRESULT RegisterTemplates(LPVOID pvData, DWORD cbSize) override
    {
        if (!pvData)
            return DXFILEERR_BADVALUE;
        // Declarations are read into a copy, so a faulty block registers nothing.
        XTemplateTable table = m_templates;
        std::string strError;
        HRESULT hr = ReadTemplateBlock(static_cast<const BYTE*>(pvData), cbSize, table, strError);
        if (FAILED(hr))
        {
            LogWarning("IDirectXFile::RegisterTemplates() - %s.", strError.c_str());
            return hr;
        }
        m_templates = std::move(table);
        return DXFILE_OK;
    }

private:
    XTemplateTable m_templates;
};
}

HRESULT DirectXFileCreate(LPDIRECTXFILE* lplpDirectXFile)
{
    if (!lplpDirectXFile)
        return DXFILEERR_BADVALUE;
    *lplpDirectXFile = new (std::nothrow) DirectXFileObject;
    return *lplpDirectXFile ? DXFILE_OK : DXFILEERR_BADALLOC;
}
