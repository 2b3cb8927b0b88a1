#include "XDataReader.h"

#include <dxfile.h>

#include <algorithm>
#include <cstring>

namespace
{
// Objects nested deeper than this, or template members nested deeper, refuse the file: real
// models stay far below, and the reader's recursion must stay bounded.
constexpr int kMaxObjectDepth = 64;
constexpr int kMaxMemberDepth = 32;
// One object's data; far above any real model.
constexpr size_t kMaxObjectBytes = size_t(256) << 20;

bool IsSeparator(XToken kind)
{
    return kind == XToken::Comma || kind == XToken::Semicolon;
}
}

HRESULT XDataReader::Fail(HRESULT hr, const std::string& text)
{
    if (SUCCEEDED(m_hrFault))
    {
        m_hrFault = hr;
        m_strError = text;
    }
    return m_hrFault;
}

HRESULT XDataReader::Open(const BYTE* pData, size_t nSize, const XTemplateTable& templates)
{
    m_bytes.assign(pData, pData + nSize);
    m_templates = templates;
    HRESULT hr = m_stream.Open(m_bytes.data(), m_bytes.size());
    if (FAILED(hr))
        return Fail(hr, "bad header");
    return DXFILE_OK;
}

std::shared_ptr<XNode> XDataReader::FindByName(const std::string& name) const
{
    for (const auto& pNode : m_named)
        if (pNode->strName == name)
            return pNode;
    return nullptr;
}

std::shared_ptr<XNode> XDataReader::FindById(const GUID& id) const
{
    for (const auto& pNode : m_named)
        if (pNode->id == id)
            return pNode;
    return nullptr;
}

void XDataReader::Index(const std::shared_ptr<XNode>& pNode)
{
    if (!pNode->strName.empty() || pNode->id != GUID{})
        m_named.push_back(pNode);
}

HRESULT XDataReader::ReadNext(std::shared_ptr<XNode>& pNode)
{
    pNode.reset();
    if (FAILED(m_hrFault))
        return m_hrFault;
    for (;;)
    {
        XTokenValue token = m_stream.Next();
        if (token.kind == XToken::End)
            return DXFILEERR_NOMOREOBJECTS;
        if (token.kind == XToken::Error)
            return Fail(DXFILEERR_PARSEERROR, m_stream.ErrorText());
        if (IsSeparator(token.kind))
            continue;
        if (token.kind != XToken::Name)
            return Fail(DXFILEERR_PARSEERROR, "object or template expected");
        if (token.text == "template")
        {
            std::string strError;
            HRESULT hr = ReadTemplate(m_stream, m_templates, strError);
            if (FAILED(hr))
                return Fail(hr, m_stream.ErrorText().empty() ? strError : m_stream.ErrorText());
            continue;
        }
        HRESULT hr = ReadObject(token.text, 0, pNode);
        if (FAILED(hr))
        {
            pNode.reset();
            return hr;
        }
        m_topLevel.push_back(pNode);
        return DXFILE_OK;
    }
}

HRESULT XDataReader::ReadObject(const std::string& typeName, int nDepth, std::shared_ptr<XNode>& pNode)
{
    if (nDepth > kMaxObjectDepth)
        return Fail(DXFILEERR_PARSEERROR, "objects nested too deep");
    auto it = m_templates.find(typeName);
    if (it == m_templates.end())
        return Fail(DXFILEERR_NOTEMPLATE, "unknown template " + typeName);
    auto node = std::make_shared<XNode>();
    node->pTemplate = it->second;

    XTokenValue token = m_stream.Next();
    if (token.kind == XToken::Name)
    {
        node->strName = token.text;
        token = m_stream.Next();
    }
    if (token.kind != XToken::OpenBrace)
        return Fail(DXFILEERR_PARSEERROR, "'{' expected after " + typeName);
    if (m_stream.Peek().kind == XToken::Guid)
        node->id = m_stream.Next().guid;

    HRESULT hr = ReadMembers(*node->pTemplate, *node, 0, true);
    if (FAILED(hr))
        return hr;

    for (;;)
    {
        token = m_stream.Next();
        if (IsSeparator(token.kind))
            continue;
        if (token.kind == XToken::CloseBrace)
            break;
        if (token.kind == XToken::Error)
            return Fail(DXFILEERR_PARSEERROR, m_stream.ErrorText());
        if (token.kind == XToken::End)
            return Fail(DXFILEERR_PARSEERROR, "object " + typeName + " not closed");
        if (token.kind != XToken::OpenBrace && token.kind != XToken::Name)
            return Fail(DXFILEERR_PARSEERROR, "unexpected value in " + typeName);
        if (node->pTemplate->bClosed)
            return Fail(DXFILEERR_BADOBJECT, "template " + typeName + " takes no child objects");
        std::shared_ptr<XNode> child;
        hr = token.kind == XToken::OpenBrace ? ReadReference(child) : ReadObject(token.text, nDepth + 1, child);
        if (FAILED(hr))
            return hr;
        node->children.push_back(std::move(child));
    }
    Index(node);
    pNode = std::move(node);
    return DXFILE_OK;
}

HRESULT XDataReader::ReadReference(std::shared_ptr<XNode>& pNode)
{
    auto node = std::make_shared<XNode>();
    node->kind = XNode::Kind::Reference;
    XTokenValue token = m_stream.Next();
    if (token.kind == XToken::Name)
    {
        node->strName = token.text;
        token = m_stream.Next();
    }
    if (token.kind == XToken::Guid)
    {
        node->id = token.guid;
        token = m_stream.Next();
    }
    if (token.kind != XToken::CloseBrace || (node->strName.empty() && node->id == GUID{}))
        return Fail(DXFILEERR_BADDATAREFERENCE, "malformed reference");
    node->pTarget = node->strName.empty() ? FindById(node->id) : FindByName(node->strName);
    pNode = std::move(node);
    return DXFILE_OK;
}

HRESULT XDataReader::ReadMembers(const XTemplate& tmpl, XNode& node, int nDepth, bool bTopLevel)
{
    if (nDepth > kMaxMemberDepth)
        return Fail(DXFILEERR_BADOBJECT, "template members nested too deep");
    std::vector<int64_t> values(tmpl.members.size(), 0);
    for (size_t i = 0; i < tmpl.members.size(); ++i)
    {
        const XMember& member = tmpl.members[i];
        const size_t nStart = node.data.size();
        // The count is capped just past the bytes left: that is already too many.
        const uint64_t nCap = m_stream.Remaining() + 1;
        uint64_t nCount = 1;
        bool bEmpty = false;
        for (const XDimension& dimension : member.dimensions)
        {
            int64_t nSize = dimension.nMember >= 0 ? values[dimension.nMember] : dimension.nConstant;
            if (nSize < 0)
                return Fail(DXFILEERR_BADARRAYSIZE, "negative array size in " + tmpl.strName);
            if (nSize == 0)
                bEmpty = true;
            else
                nCount = (uint64_t)nSize >= nCap ? nCap : std::min(nCap, nCount * (uint64_t)nSize);
        }
        if (bEmpty)
            nCount = 0;
        const uint64_t nValuesEach = member.pTemplate ? member.pTemplate->nMinimumValues : 1;
        if (nCount != 0 && nValuesEach > m_stream.Remaining() / nCount)
            return Fail(DXFILEERR_BADARRAYSIZE, "array " + member.strName + " of " + tmpl.strName +
                                                    " runs past the end of the file");
        for (uint64_t k = 0; k < nCount; ++k)
        {
            HRESULT hr;
            if (member.pTemplate)
                hr = ReadMembers(*member.pTemplate, node, nDepth + 1, false);
            else
                hr = ReadPrimitive(member.primitive, node, values[i]);
            if (FAILED(hr))
                return hr;
        }
        if (node.data.size() > kMaxObjectBytes)
            return Fail(DXFILEERR_BADALLOC, "object data too large");
        if (bTopLevel)
            node.memberSpans.push_back({nStart, node.data.size() - nStart});
    }
    return DXFILE_OK;
}

HRESULT XDataReader::ReadPrimitive(XPrimitive type, XNode& node, int64_t& nValue)
{
    XTokenValue token = m_stream.Next();
    while (IsSeparator(token.kind))
        token = m_stream.Next();
    if (token.kind == XToken::Error)
        return Fail(DXFILEERR_PARSEERROR, m_stream.ErrorText());
    if (token.kind == XToken::End)
        return Fail(DXFILEERR_NOMOREDATA, "file ends inside an object");

    BYTE bytes[8];
    size_t nBytes = XPrimitiveSize(type);
    switch (type)
    {
    case XPrimitive::Float:
    case XPrimitive::Double:
    {
        if (token.kind != XToken::Float && token.kind != XToken::Integer)
            return Fail(DXFILEERR_BADVALUE, "number expected");
        double fValue = token.kind == XToken::Float ? token.fFloat : (double)token.nInteger;
        if (type == XPrimitive::Float)
        {
            float f = (float)fValue;
            std::memcpy(bytes, &f, 4);
        }
        else
            std::memcpy(bytes, &fValue, 8);
        break;
    }
    case XPrimitive::String:
    {
        if (token.kind != XToken::String)
            return Fail(DXFILEERR_BADVALUE, "string expected");
        node.strings.push_back(std::make_unique<std::string>(std::move(token.text)));
        const char* pText = node.strings.back()->c_str();
        std::memcpy(bytes, &pText, sizeof(pText));
        break;
    }
    default:
    {
        if (token.kind != XToken::Integer)
            return Fail(DXFILEERR_BADVALUE, "integer expected");
        // Stored in the member's width, as the low bytes (little-endian); the value an array
        // size takes is the stored one.
        uint64_t nBits = (uint64_t)token.nInteger;
        std::memcpy(bytes, &nBits, nBytes);
        switch (type)
        {
        case XPrimitive::Char:
            nValue = (int8_t)nBits;
            break;
        case XPrimitive::SWord:
            nValue = (int16_t)nBits;
            break;
        case XPrimitive::SDword:
            nValue = (int32_t)nBits;
            break;
        case XPrimitive::UChar:
            nValue = (uint8_t)nBits;
            break;
        case XPrimitive::Word:
            nValue = (uint16_t)nBits;
            break;
        default:
            nValue = (uint32_t)nBits;
            break;
        }
        break;
    }
    }
    node.data.insert(node.data.end(), bytes, bytes + nBytes);
    return DXFILE_OK;
}
