#pragma once
// Templates: the declared layout of a data object's members, read from "template" blocks, and
// the table of known templates by name.
#include "XTokenStream.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

struct XTemplate;

enum class XPrimitive
{
    None,   // a member of a template type
    Word,
    Dword,
    Float,
    Double,
    Char,
    UChar,
    SWord,
    SDword,
    String,
};

// Byte size of a primitive in an object's data (strings are pointers).
size_t XPrimitiveSize(XPrimitive type);

// An array size: a constant, or the value of an earlier member of the same template.
struct XDimension
{
    uint32_t nConstant = 0;
    int nMember = -1;
};

struct XMember
{
    std::string strName;
    XPrimitive primitive = XPrimitive::None;
    std::shared_ptr<const XTemplate> pTemplate;
    std::vector<XDimension> dimensions;   // empty: not an array
};

struct XTemplate
{
    std::string strName;
    GUID guid{};
    std::vector<XMember> members;
    bool bClosed = true;   // no child objects allowed
    // Values the smallest instance reads from the file: at least one for a template used as a
    // member, so that counts of instances can be checked against the bytes left.
    uint64_t nMinimumValues = 0;
};

typedef std::map<std::string, std::shared_ptr<const XTemplate>> XTemplateTable;

// Reads one declaration after the "template" keyword into the table (a later declaration of a
// name replaces the earlier one). DXFILE_OK, or an error with the reason in strError.
HRESULT ReadTemplate(XTokenStream& stream, XTemplateTable& table, std::string& strError);

// Reads a whole block of declarations (header included) into the table.
HRESULT ReadTemplateBlock(const BYTE* pData, size_t nSize, XTemplateTable& table, std::string& strError);
