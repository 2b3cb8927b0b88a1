#pragma once
// The body of a ".x" file read object by object: template declarations go into the file's
// table, data objects come out as trees of nodes with their members laid out as GetData gives
// them. Counts are checked against the bytes left before anything is read for them, nesting is
// bounded, and every fault ends the reading with a reason.
#include "XTemplate.h"

#include <dxfile.h>

#include <memory>
#include <string>
#include <vector>

struct XNode
{
    enum class Kind
    {
        Data,
        Reference,
    };
    Kind kind = Kind::Data;
    std::string strName;
    GUID id{};
    std::shared_ptr<const XTemplate> pTemplate;   // data objects only

    // Members back to back (see IDirectXFileData::GetData); text members hold pointers into
    // m_strings, whose elements never move.
    std::vector<BYTE> data;
    std::vector<std::unique_ptr<std::string>> strings;
    struct MemberSpan
    {
        size_t nOffset;
        size_t nSize;
    };
    std::vector<MemberSpan> memberSpans;   // one per top-level template member
    std::vector<std::shared_ptr<XNode>> children;

    // References: the name or identifier of the object they stand for, and that object once
    // found among those read before.
    std::shared_ptr<XNode> pTarget;
};

class XDataReader
{
public:
    // Takes a copy of the bytes and of the templates known so far.
    HRESULT Open(const BYTE* pData, size_t nSize, const XTemplateTable& templates);
    // The next top-level data object (templates before it are read on the way); null at the end
    // (DXFILEERR_NOMOREOBJECTS) or on a fault (its error). After a fault every call fails.
    HRESULT ReadNext(std::shared_ptr<XNode>& pNode);
    const std::string& ErrorText() const { return m_strError; }
    // The first object read so far with that name (or identifier), at any depth.
    std::shared_ptr<XNode> FindByName(const std::string& name) const;
    std::shared_ptr<XNode> FindById(const GUID& id) const;

private:
    HRESULT ReadObject(const std::string& typeName, int nDepth, std::shared_ptr<XNode>& pNode);
    HRESULT ReadReference(std::shared_ptr<XNode>& pNode);
    HRESULT ReadMembers(const XTemplate& tmpl, XNode& node, int nDepth, bool bTopLevel);
    HRESULT ReadPrimitive(XPrimitive type, XNode& node, int64_t& nValue);
    HRESULT Fail(HRESULT hr, const std::string& text);
    void Index(const std::shared_ptr<XNode>& pNode);

    std::vector<BYTE> m_bytes;
    XTokenStream m_stream;
    XTemplateTable m_templates;
    std::vector<std::shared_ptr<XNode>> m_named;
    std::vector<std::shared_ptr<XNode>> m_topLevel;
    HRESULT m_hrFault = DXFILE_OK;
    std::string m_strError;
};
