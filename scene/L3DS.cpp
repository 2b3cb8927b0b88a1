#include "scene/L3DS.h"

#include "core/FileIO.h"
#include "core/Log.h"

#include <algorithm>
#include <cmath>
#include <cstring>

void ReportL3DSError(const char* szMessage)
{
    LogWarning("%s", szMessage);
}

void L3DSImporter::Clear()
{
    m_Meshes.clear();
    m_Lights.clear();
    m_Materials.clear();
    m_nOptimizationLevel = 2;
}

template <typename T>
static T* FindNamed(std::vector<T>& list, const std::string& strName)
{
    for (T& item : list)
        if (item.IsNamed(strName))
            return &item;
    return nullptr;
}

L3DSMaterial* L3DSImporter::FindMaterial(const std::string& strName)
{
    return FindNamed(m_Materials, strName);
}

L3DSMesh* L3DSImporter::FindMesh(const std::string& strName)
{
    return FindNamed(m_Meshes, strName);
}

L3DSLight* L3DSImporter::FindLight(const std::string& strName)
{
    return FindNamed(m_Lights, strName);
}

bool L3DS::LoadFile(const char* szFileName)
{
    std::vector<uint8_t> data;
    if (!ReadWholeFile(szFileName, data))
    {
        ReportL3DSError("L3DS::LoadFile() - cannot open file.");
        return false;
    }
    return LoadFromMemory(data);
}

bool L3DS::LoadFromMemory(const std::vector<uint8_t>& data)
{
    Clear();
    m_Reader = ByteReader(data);
    bool bResult = Read3DS();
    m_Reader = ByteReader();
    return bResult;
}

uint8_t L3DS::ReadByte()
{
    uint8_t n = 0;
    return m_Reader.ReadU8(n) ? n : 0;
}

uint16_t L3DS::ReadUInt16()
{
    uint16_t n = 0;
    return m_Reader.ReadU16(n) ? n : 0;
}

uint32_t L3DS::ReadInt32()
{
    uint32_t n = 0;
    return m_Reader.ReadU32(n) ? n : 0;
}

float L3DS::ReadFloat()
{
    float f = 0.0f;
    return m_Reader.ReadF32(f) ? f : 0.0f;
}

uint32_t L3DS::ReadString(char* szOut, uint32_t nSize)
{
    // At the limit the next byte is consumed and dropped; the rest of a long string stays unread.
    uint32_t n = 0;
    for (;;)
    {
        uint8_t c = 0;
        if (!m_Reader.ReadU8(c) || c == 0 || n + 1 >= nSize)
            break;
        szOut[n++] = static_cast<char>(c);
    }
    szOut[n] = 0;
    return n;
}

void L3DS::Seek(int64_t nOffset, int nMode)
{
    int64_t nPos = nMode == SEEK_FROM_CURRENT ? static_cast<int64_t>(GetOffset()) + nOffset : nOffset;
    int64_t nSize = static_cast<int64_t>(m_Reader.GetSize());
    nPos = std::clamp<int64_t>(nPos, 0, nSize);
    m_Reader.Seek(static_cast<size_t>(nPos));
}

bool L3DS::ReadChunkHeader(L3DSChunk& chunk)
{
    uint16_t nId = 0;
    uint32_t nLength = 0;
    if (!m_Reader.ReadU16(nId) || !m_Reader.ReadU32(nLength))
        return false;
    chunk.nId = nId;
    chunk.nStart = GetOffset();
    // A length below the header's own six bytes would never let a walk move on.
    if (nLength < 6)
        return false;
    chunk.nEnd = chunk.nStart + nLength - 6;
    return chunk.nEnd <= m_Reader.GetSize();
}

bool L3DS::ReadChildHeader(const L3DSChunk& parent, L3DSChunk& chunk)
{
    if (GetOffset() >= parent.nEnd)
        return false;
    if (!ReadChunkHeader(chunk))
        return false;
    return chunk.nEnd <= parent.nEnd;
}

bool L3DS::FindChunk(uint16_t nId, const L3DSChunk& parent, L3DSChunk& chunk)
{
    L3DSChunk child;
    while (ReadChildHeader(parent, child))
    {
        if (child.nId == nId)
        {
            chunk = child;
            return true;
        }
        SkipChunk(child);
        if (child.nEnd >= parent.nEnd)
            return false;
    }
    return false;
}

uint64_t L3DS::RecordsLeft(const L3DSChunk& chunk, uint64_t nRecordSize) const
{
    uint64_t nPos = GetOffset();
    return nPos >= chunk.nEnd ? 0 : (chunk.nEnd - nPos) / nRecordSize;
}

bool L3DS::Read3DS()
{
    L3DSChunk main;
    bool bWhole = ReadChunkHeader(main);
    if (main.nId != 0x4D4D)
    {
        ReportL3DSError("L3DS::Read3DS() - wrong file format.");
        return false;
    }
    if (!bWhole)
    {
        // Files cut short keep what lies inside the bytes present.
        LogWarning("L3DS::Read3DS() - the main chunk does not match the file's length.");
        main.nEnd = m_Reader.GetSize();
    }
    L3DSChunk editor;
    if (!FindChunk(0x3D3D, main, editor))
        return false;

    L3DSChunk chunk;
    GotoChunkData(editor);
    while (FindChunk(0xAFFF, editor, chunk))
    {
        ReadMaterial(chunk);
        SkipChunk(chunk);
    }

    GotoChunkData(editor);
    while (FindChunk(0x4000, editor, chunk))
    {
        ReadString(m_szObjectName, 99);
        L3DSChunk object;
        if (ReadChildHeader(chunk, object))
        {
            if (object.nId == 0x4100)
                ReadMesh(object);
            else if (object.nId == 0x4600)
                ReadLight(object);
            else if (object.nId == 0x4700)
                ReadCamera(object);
        }
        SkipChunk(chunk);
    }

    for (L3DSMesh& mesh : m_Meshes)
        mesh.Optimize(m_nOptimizationLevel);
    m_Reader.Seek(0);
    m_szObjectName[0] = 0;
    return true;
}

void L3DS::ReadMaterial(const L3DSChunk& parent)
{
    L3DSMaterial material;
    char szName[30];
    GotoChunkData(parent);
    L3DSChunk chunk, nested;
    while (ReadChildHeader(parent, chunk))
    {
        switch (chunk.nId)
        {
        case 0xA000:
            ReadString(szName, sizeof(szName));
            material.SetName(szName);
            break;
        case 0xA010:
        case 0xA020:
        case 0xA030:
        {
            L3DSColor color = ReadChildHeader(chunk, nested) ? ReadColor(nested) : L3DSColor();
            if (chunk.nId == 0xA010)
                material.SetAmbientColor(color);
            else if (chunk.nId == 0xA020)
                material.SetDiffuseColor(color);
            else
                material.SetSpecularColor(color);
            break;
        }
        case 0xA040:
        case 0xA050:
        {
            float fValue = ReadChildHeader(chunk, nested) ? ReadPercentage(nested) : 0.0f;
            if (chunk.nId == 0xA040)
                material.SetShininess(fValue);
            else
                material.SetTransparency(fValue);
            break;
        }
        case 0xA085:
            material.SetShading(0);
            break;
        case 0xA100:
        {
            uint16_t nShading = ReadUInt16();
            if (nShading <= 4)
                material.SetShading(nShading);
            break;
        }
        case 0xA200:
            ReadMap(chunk, material.GetTextureMap1());
            break;
        case 0xA33A:
            ReadMap(chunk, material.GetTextureMap2());
            break;
        case 0xA210:
            ReadMap(chunk, material.GetOpacityMap());
            break;
        case 0xA204:
            ReadMap(chunk, material.GetSpecularMap());
            break;
        case 0xA230:
            ReadMap(chunk, material.GetBumpMap());
            break;
        case 0xA220:
        {
            L3DSMap& map = material.GetReflectionMap();
            if (ReadChildHeader(chunk, nested))
            {
                map.fStrength = ReadPercentage(nested);
                SkipChunk(nested);
            }
            if (!ReadChildHeader(chunk, nested) || nested.nId != 0xA300)
            {
                ReportL3DSError("L3DS::ReadMaterial() - error, expected chunk not found.");
                return;
            }
            ReadString(szName, sizeof(szName));
            std::strcpy(map.szFileName, szName[0] ? szName : "auto");
            break;
        }
        default:
            break;
        }
        SkipChunk(chunk);
    }
    material.SetID(static_cast<int32_t>(m_Materials.size()));
    m_Materials.push_back(material);
}

void L3DS::ReadMap(const L3DSChunk& parent, L3DSMap& map)
{
    GotoChunkData(parent);
    L3DSChunk chunk;
    while (ReadChildHeader(parent, chunk))
    {
        switch (chunk.nId)
        {
        case 0x0030:
            map.fStrength = ReadPercentage(chunk);
            break;
        case 0xA300:
            ReadString(map.szFileName, 20);
            break;
        case 0xA354:
            map.fUScale = ReadFloat();
            break;
        case 0xA356:
            map.fVScale = ReadFloat();
            break;
        case 0xA358:
            map.fUOffset = ReadFloat();
            break;
        case 0xA35A:
            map.fVOffset = ReadFloat();
            break;
        case 0xA35C:
            map.fAngle = ReadFloat();
            break;
        default:
            break;
        }
        SkipChunk(chunk);
    }
}

void L3DS::ReadMesh(const L3DSChunk& parent)
{
    L3DSMesh mesh;
    mesh.SetName(m_szObjectName);
    GotoChunkData(parent);
    L3DSChunk chunk;
    while (ReadChildHeader(parent, chunk))
    {
        switch (chunk.nId)
        {
        case 0x4110:
        {
            uint16_t nCount = ReadUInt16();
            if (nCount > RecordsLeft(chunk, 12))
            {
                LogWarning("L3DS::ReadMesh() - vertex list of %u entries does not fit its chunk.", nCount);
                break;
            }
            mesh.SetVertexArraySize(nCount);
            for (uint32_t i = 0; i < nCount; ++i)
            {
                L3DSVertex v;
                v.x = ReadFloat();
                v.y = ReadFloat();
                v.z = ReadFloat();
                v.w = 1.0f;
                mesh.SetVertex(v, i);
            }
            break;
        }
        case 0x4120:
            ReadFaceList(chunk, mesh);
            break;
        case 0x4140:
        {
            uint16_t nCount = ReadUInt16();
            if (nCount > RecordsLeft(chunk, 8))
            {
                LogWarning("L3DS::ReadMesh() - %u texture coordinates do not fit their chunk.", nCount);
                break;
            }
            if (mesh.GetVertexCount() == 0)
                mesh.SetVertexArraySize(nCount);
            for (uint32_t i = 0; i < nCount; ++i)
            {
                L3DSTexCoord t;
                t.u = ReadFloat();
                t.v = ReadFloat();
                mesh.SetUV(t, i);
            }
            break;
        }
        case 0x4160:
        {
            float f[12];
            for (float& value : f)
                value = ReadFloat();
            const float m[16] = {f[0], f[1], f[2], 0.0f, f[3], f[4], f[5], 0.0f,
                                 f[6], f[7], f[8], 0.0f, f[9], f[10], f[11], 1.0f};
            mesh.SetMatrix(m);
            break;
        }
        default:
            break;
        }
        SkipChunk(chunk);
        if (chunk.nEnd >= parent.nEnd)
            break;
    }
    uint32_t nRemoved = mesh.RemoveInvalidFaces();
    if (nRemoved)
        LogWarning("L3DS::ReadMesh() - %u faces of \"%s\" name vertices the mesh does not have.", nRemoved,
                   m_szObjectName);
    m_Meshes.push_back(mesh);
}

void L3DS::ReadFaceList(const L3DSChunk& chunk, L3DSMesh& mesh)
{
    if (chunk.nId != 0x4120)
    {
        ReportL3DSError("L3DS::ReadFaceList() - internal error: wrong chunk passed as parameter.");
        return;
    }
    GotoChunkData(chunk);
    uint16_t nCount = ReadUInt16();
    if (nCount > RecordsLeft(chunk, 8))
    {
        LogWarning("L3DS::ReadFaceList() - face list of %u entries does not fit its chunk.", nCount);
        return;
    }
    mesh.SetTriangleArraySize(nCount);
    for (uint32_t i = 0; i < nCount; ++i)
    {
        L3DSFace& face = mesh.GetFace(i);
        face.a = ReadUInt16();
        face.b = ReadUInt16();
        face.c = ReadUInt16();
        ReadUInt16();
        face.nSmoothingGroups = 1;
        face.nMaterialId = L3DS_NO_MATERIAL;
    }
    L3DSChunk child;
    while (ReadChildHeader(chunk, child))
    {
        if (child.nId == 0x4130)
        {
            char szName[20];
            ReadString(szName, sizeof(szName));
            const L3DSMaterial* pMaterial = FindMaterial(szName);
            uint16_t nFaces = ReadUInt16();
            if (!pMaterial)
                LogWarning("L3DS::ReadFaceList() - material group names the unknown material \"%s\".", szName);
            else if (nFaces > RecordsLeft(child, 2))
                LogWarning("L3DS::ReadFaceList() - material group of %u faces does not fit its chunk.", nFaces);
            else
            {
                uint32_t nId = static_cast<uint32_t>(pMaterial->GetID());
                mesh.AddMaterial(nId);
                for (uint32_t i = 0; i < nFaces; ++i)
                {
                    uint16_t nFace = ReadUInt16();
                    if (nFace < mesh.GetTriangleCount())
                        mesh.GetFace(nFace).nMaterialId = nId;
                }
            }
        }
        else if (child.nId == 0x4150)
        {
            uint64_t nMasks = std::min<uint64_t>(mesh.GetTriangleCount(), RecordsLeft(child, 4));
            for (uint32_t i = 0; i < nMasks; ++i)
                mesh.GetFace(i).nSmoothingGroups = ReadInt32();
        }
        SkipChunk(child);
    }
}

void L3DS::ReadLight(const L3DSChunk& parent)
{
    L3DSLight light;
    light.SetName(m_szObjectName);
    float x = ReadFloat(), y = ReadFloat(), z = ReadFloat();
    light.SetPosition(x, y, z);
    L3DSChunk chunk;
    while (ReadChildHeader(parent, chunk))
    {
        switch (chunk.nId)
        {
        case 0x0010:
        case 0x0011:
        case 0x0012:
        case 0x0013:
        {
            L3DSColor c = ReadColor(chunk);
            light.SetColor(c.r, c.g, c.b);
            break;
        }
        case 0x4610:
        {
            float tx = ReadFloat(), ty = ReadFloat(), tz = ReadFloat();
            light.SetTarget(tx, ty, tz);
            light.SetHotspot(ReadFloat());
            light.SetFalloff(ReadFloat());
            light.SetSpotlight(true);
            break;
        }
        case 0x4659:
            light.SetAttenuationStart(ReadFloat());
            break;
        case 0x465A:
            light.SetAttenuationEnd(ReadFloat());
            break;
        default:
            break;
        }
        SkipChunk(chunk);
        if (chunk.nEnd >= parent.nEnd)
            break;
    }
    m_Lights.push_back(light);
}

void L3DS::ReadCamera(const L3DSChunk& parent)
{
    L3DSCamera camera;
    camera.SetName(m_szObjectName);
    float x = ReadFloat(), y = ReadFloat(), z = ReadFloat();
    camera.SetPosition(x, y, z);
    x = ReadFloat();
    y = ReadFloat();
    z = ReadFloat();
    camera.SetTarget(x, y, z);
    camera.SetBank(ReadFloat());
    float fLens = ReadFloat();
    // A lens of 0 or less (or not a number) has no field of view: the default stays.
    if (fLens > 0.0f && std::isfinite(2400.0f / fLens))
        camera.SetFOV(2400.0f / fLens);
    L3DSChunk chunk;
    while (ReadChildHeader(parent, chunk))
    {
        if (chunk.nId == 0x4720)
        {
            camera.SetNearPlane(ReadFloat());
            camera.SetFarPlane(ReadFloat());
        }
        SkipChunk(chunk);
        if (chunk.nEnd >= parent.nEnd)
            break;
    }
    m_Cameras.push_back(camera);
}

L3DSColor L3DS::ReadColor(const L3DSChunk& chunk)
{
    GotoChunkData(chunk);
    L3DSColor c;
    switch (chunk.nId)
    {
    case 0x0010:
    case 0x0013:
        c.r = ReadFloat();
        c.g = ReadFloat();
        c.b = ReadFloat();
        break;
    case 0x0011:
    case 0x0012:
        c.r = ReadByte() / 255.0f;
        c.g = ReadByte() / 255.0f;
        c.b = ReadByte() / 255.0f;
        break;
    default:
        ReportL3DSError("L3DS::ReadColor() - error this is not a color chunk.");
        break;
    }
    return c;
}

float L3DS::ReadPercentage(const L3DSChunk& chunk)
{
    GotoChunkData(chunk);
    switch (chunk.nId)
    {
    case 0x0030:
        return static_cast<int16_t>(ReadUInt16()) / 100.0f;
    case 0x0031:
        return ReadFloat();
    default:
        ReportL3DSError("L3DS::ReadPercentage() - error, the chunk is not a percentage chunk.");
        return 0.0f;
    }
}
