#include "XTemplate.h"

#include <dxfile.h>

#include <strings.h>

namespace
{
struct PrimitiveName
{
    const char* szName;
    XPrimitive type;
};
// Type keywords, compared without case; STRING, LPSTR, CSTRING and UNICODE all give text.
constexpr PrimitiveName kPrimitiveNames[] = {
    {"WORD", XPrimitive::Word},     {"DWORD", XPrimitive::Dword},   {"FLOAT", XPrimitive::Float},
    {"DOUBLE", XPrimitive::Double}, {"CHAR", XPrimitive::Char},     {"UCHAR", XPrimitive::UChar},
    {"BYTE", XPrimitive::UChar},    {"SWORD", XPrimitive::SWord},   {"SDWORD", XPrimitive::SDword},
    {"STRING", XPrimitive::String}, {"LPSTR", XPrimitive::String},  {"CSTRING", XPrimitive::String},
    {"UNICODE", XPrimitive::String},
};

// Guards the products of sizes against overflow: everything at or above this is "too large".
constexpr uint64_t kValueLimit = 1ull << 40;

uint64_t SaturatingProduct(uint64_t a, uint64_t b)
{
    if (a != 0 && b > kValueLimit / a)
        return kValueLimit;
    return a * b;
}

XPrimitive FindPrimitive(const std::string& name)
{
    for (const PrimitiveName& entry : kPrimitiveNames)
        if (strcasecmp(entry.szName, name.c_str()) == 0)
            return entry.type;
    return XPrimitive::None;
}

bool Expect(XTokenStream& stream, XToken kind)
{
    return stream.Next().kind == kind;
}

HRESULT Refuse(std::string& strError, const std::string& text)
{
    strError = text;
    return DXFILEERR_PARSEERROR;
}

// Reads "[...]", "[Name <guid>, ...]" or "[BINARY]" after the opening bracket.
HRESULT ReadRestriction(XTokenStream& stream, XTemplate& tmpl, std::string& strError)
{
    tmpl.bClosed = false;
    for (;;)
    {
        XTokenValue token = stream.Next();
        switch (token.kind)
        {
        case XToken::CloseBracket:
            return DXFILE_OK;
        case XToken::Dot:
        case XToken::Comma:
        case XToken::Name:
        case XToken::Guid:
            break;
        default:
            return Refuse(strError, "template " + tmpl.strName + ": bad restriction");
        }
    }
}
}

size_t XPrimitiveSize(XPrimitive type)
{
    switch (type)
    {
    case XPrimitive::Char:
    case XPrimitive::UChar:
        return 1;
    case XPrimitive::Word:
    case XPrimitive::SWord:
        return 2;
    case XPrimitive::Dword:
    case XPrimitive::SDword:
    case XPrimitive::Float:
        return 4;
    case XPrimitive::Double:
        return 8;
    case XPrimitive::String:
        return sizeof(char*);
    case XPrimitive::None:
        break;
    }
    return 0;
}

HRESULT ReadTemplate(XTokenStream& stream, XTemplateTable& table, std::string& strError)
{
    auto tmpl = std::make_shared<XTemplate>();
    XTokenValue name = stream.Next();
    if (name.kind != XToken::Name)
        return Refuse(strError, "template without a name");
    tmpl->strName = name.text;
    if (!Expect(stream, XToken::OpenBrace))
        return Refuse(strError, "template " + tmpl->strName + ": '{' expected");
    XTokenValue guid = stream.Next();
    if (guid.kind != XToken::Guid)
        return Refuse(strError, "template " + tmpl->strName + ": identifier expected");
    tmpl->guid = guid.guid;

    for (;;)
    {
        XTokenValue token = stream.Next();
        if (token.kind == XToken::CloseBrace)
            break;
        if (token.kind == XToken::OpenBracket)
        {
            HRESULT hr = ReadRestriction(stream, *tmpl, strError);
            if (FAILED(hr))
                return hr;
            continue;
        }
        if (token.kind != XToken::Name)
            return Refuse(strError, "template " + tmpl->strName + ": member expected");

        XMember member;
        bool bArray = token.text == "array";
        XTokenValue type = bArray ? stream.Next() : token;
        if (type.kind != XToken::Name)
            return Refuse(strError, "template " + tmpl->strName + ": member type expected");
        member.primitive = FindPrimitive(type.text);
        if (member.primitive == XPrimitive::None)
        {
            // A template member must name a template declared before; so no template can hold
            // itself, and each one has values to read.
            auto it = table.find(type.text);
            if (it == table.end())
                return Refuse(strError, "template " + tmpl->strName + ": unknown member type " + type.text);
            if (it->second->nMinimumValues == 0)
                return Refuse(strError, "template " + tmpl->strName + ": member type " + type.text + " has no values");
            member.pTemplate = it->second;
        }

        XTokenValue next = stream.Next();
        if (next.kind == XToken::Name)
        {
            member.strName = next.text;
            next = stream.Next();
        }
        while (bArray && next.kind == XToken::OpenBracket)
        {
            XDimension dimension;
            XTokenValue size = stream.Next();
            if (size.kind == XToken::Integer && size.nInteger >= 0 && size.nInteger <= 0xffffffffll)
                dimension.nConstant = (uint32_t)size.nInteger;
            else if (size.kind == XToken::Name)
            {
                for (size_t i = 0; i < tmpl->members.size(); ++i)
                {
                    const XMember& earlier = tmpl->members[i];
                    bool bInteger = earlier.dimensions.empty() &&
                                    (earlier.primitive == XPrimitive::Dword || earlier.primitive == XPrimitive::Word ||
                                     earlier.primitive == XPrimitive::SDword || earlier.primitive == XPrimitive::SWord ||
                                     earlier.primitive == XPrimitive::UChar || earlier.primitive == XPrimitive::Char);
                    if (earlier.strName == size.text && bInteger)
                        dimension.nMember = (int)i;
                }
                if (dimension.nMember < 0)
                    return Refuse(strError, "template " + tmpl->strName + ": unknown array size " + size.text);
            }
            else
                return Refuse(strError, "template " + tmpl->strName + ": bad array size");
            if (!Expect(stream, XToken::CloseBracket))
                return Refuse(strError, "template " + tmpl->strName + ": ']' expected");
            member.dimensions.push_back(dimension);
            next = stream.Next();
        }
        if (bArray && member.dimensions.empty())
            return Refuse(strError, "template " + tmpl->strName + ": array without a size");
        if (next.kind != XToken::Semicolon)
            return Refuse(strError, "template " + tmpl->strName + ": ';' expected");

        uint64_t nValues = member.pTemplate ? member.pTemplate->nMinimumValues : 1;
        for (const XDimension& dimension : member.dimensions)
            nValues = dimension.nMember >= 0 ? 0 : SaturatingProduct(nValues, dimension.nConstant);
        tmpl->nMinimumValues = std::min(kValueLimit, tmpl->nMinimumValues + nValues);
        tmpl->members.push_back(std::move(member));
    }
    table[tmpl->strName] = std::move(tmpl);
    return DXFILE_OK;
}

HRESULT ReadTemplateBlock(const BYTE* pData, size_t nSize, XTemplateTable& table, std::string& strError)
{
    XTokenStream stream;
    HRESULT hr = stream.Open(pData, nSize);
    if (FAILED(hr))
    {
        strError = "bad header";
        return hr;
    }
    for (;;)
    {
        XTokenValue token = stream.Next();
        if (token.kind == XToken::End)
            return DXFILE_OK;
        if (token.kind == XToken::Error)
        {
            strError = stream.ErrorText();
            return DXFILEERR_PARSEERROR;
        }
        if (token.kind != XToken::Name || token.text != "template")
            return Refuse(strError, "only templates may be registered");
        hr = ReadTemplate(stream, table, strError);
        if (FAILED(hr))
            return hr;
    }
}
