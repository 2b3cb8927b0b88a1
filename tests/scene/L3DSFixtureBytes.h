#pragma once
// Builds 3DS files byte by byte for the reader's tests, the import tests and the fuzz seeds:
// nested chunks whose lengths are patched in when each chunk is closed.
#include "core/ByteStream.h"

#include <cstdint>
#include <string>
#include <vector>

namespace l3ds_fixture
{
class ChunkWriter
{
public:
    void Begin(uint16_t nId)
    {
        m_Writer.WriteU16(nId);
        m_Open.push_back(m_Writer.GetSize());
        m_Writer.WriteU32(0);
    }
    void End()
    {
        size_t nAt = m_Open.back();
        m_Open.pop_back();
        m_Writer.PatchU32(nAt, static_cast<uint32_t>(m_Writer.GetSize() - nAt + 2));
    }
    void String(const std::string& s) { m_Writer.WriteBytes(s.c_str(), s.size() + 1); }
    void U16(uint16_t n) { m_Writer.WriteU16(n); }
    void U32(uint32_t n) { m_Writer.WriteU32(n); }
    void U8(uint8_t n) { m_Writer.WriteU8(n); }
    void Floats(std::initializer_list<float> values)
    {
        for (float f : values)
            m_Writer.WriteF32(f);
    }
    // Offset of the next byte, for tests that patch a field afterwards.
    size_t Offset() const { return m_Writer.GetSize(); }
    const std::vector<uint8_t>& Bytes() const { return m_Writer.GetBuffer(); }

private:
    ByteWriter m_Writer;
    std::vector<size_t> m_Open;
};

// Offsets of fields the hostile tests patch.
struct SceneOffsets
{
    size_t nBoxVertexCount = 0;
    size_t nBoxVertexChunkLength = 0;
    size_t nBoxFaceCount = 0;
    size_t nBoxFirstFaceIndex = 0;
    size_t nGroupFirstFace = 0;
    size_t nGroupMaterialName = 0;
    size_t nCameraLens = 0;
};

// Material "Brick" (diffuse map "brick.png" scaled 2 by 3, a reflection map without a name),
// mesh "Box" (a unit square in z = 0 of two faces with smoothing masks 1 and 2, all in
// "Brick"), mesh "Tri" (one triangle, no material group, a translating local matrix), camera
// "Cam" (lens 50, planes 1 and 500), spot light "Spot", and unknown chunks in between.
inline std::vector<uint8_t> BuildScene(SceneOffsets* pOffsets = nullptr)
{
    SceneOffsets offsets;
    ChunkWriter w;
    w.Begin(0x4D4D);
    w.Begin(0x0002);
    w.U32(3);
    w.End();
    w.Begin(0x3D3D);

    w.Begin(0x4000);
    w.String("Box");
    w.Begin(0x4100);
    w.Begin(0x4110);
    offsets.nBoxVertexChunkLength = w.Offset() - 4;
    offsets.nBoxVertexCount = w.Offset();
    w.U16(4);
    w.Floats({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0});
    w.End();
    w.Begin(0x4140);
    w.U16(4);
    w.Floats({0, 0, 1, 0, 1, 1, 0, 1});
    w.End();
    w.Begin(0x7777);
    w.U32(0xDEADBEEF);
    w.End();
    w.Begin(0x4120);
    offsets.nBoxFaceCount = w.Offset();
    w.U16(2);
    offsets.nBoxFirstFaceIndex = w.Offset();
    w.U16(0);
    w.U16(1);
    w.U16(2);
    w.U16(7);
    w.U16(0);
    w.U16(2);
    w.U16(3);
    w.U16(7);
    w.Begin(0x4130);
    offsets.nGroupMaterialName = w.Offset();
    w.String("Brick");
    w.U16(2);
    offsets.nGroupFirstFace = w.Offset();
    w.U16(0);
    w.U16(1);
    w.End();
    w.Begin(0x4150);
    w.U32(1);
    w.U32(2);
    w.End();
    w.End();
    w.End();
    w.End();

    w.Begin(0x4000);
    w.String("Tri");
    w.Begin(0x4100);
    w.Begin(0x4110);
    w.U16(3);
    w.Floats({0, 0, 0, 2, 0, 0, 0, 0, 2});
    w.End();
    w.Begin(0x4120);
    w.U16(1);
    w.U16(0);
    w.U16(1);
    w.U16(2);
    w.U16(0);
    w.End();
    w.Begin(0x4160);
    w.Floats({1, 0, 0, 0, 1, 0, 0, 0, 1, 10, 20, 30});
    w.End();
    w.End();
    w.End();

    w.Begin(0x4000);
    w.String("Cam");
    w.Begin(0x4700);
    w.Floats({1, 2, 3, 4, 5, 6, 0});
    offsets.nCameraLens = w.Offset();
    w.Floats({50});
    w.Begin(0x4720);
    w.Floats({1, 500});
    w.End();
    w.End();
    w.End();

    w.Begin(0x4000);
    w.String("Spot");
    w.Begin(0x4600);
    w.Floats({7, 8, 9});
    w.Begin(0x0011);
    w.U8(255);
    w.U8(0);
    w.U8(51);
    w.End();
    w.Begin(0x4610);
    w.Floats({0, 0, 0, 30, 45});
    w.End();
    w.Begin(0x465A);
    w.Floats({250});
    w.End();
    w.End();
    w.End();

    // The material comes after the mesh that names it: materials are read in a pass of their own.
    w.Begin(0xAFFF);
    w.Begin(0xA000);
    w.String("Brick");
    w.End();
    w.Begin(0xA010);
    w.Begin(0x0010);
    w.Floats({0.1f, 0.2f, 0.3f});
    w.End();
    w.End();
    w.Begin(0xA020);
    w.Begin(0x0011);
    w.U8(255);
    w.U8(128);
    w.U8(0);
    w.End();
    w.End();
    w.Begin(0xA040);
    w.Begin(0x0030);
    w.U16(50);
    w.End();
    w.End();
    w.Begin(0xA050);
    w.Begin(0x0031);
    w.Floats({1.5f});
    w.End();
    w.End();
    w.Begin(0xA200);
    w.Begin(0x0030);
    w.U16(100);
    w.End();
    w.Begin(0xA300);
    w.String("brick.png");
    w.End();
    w.Begin(0xA354);
    w.Floats({2});
    w.End();
    w.Begin(0xA356);
    w.Floats({3});
    w.End();
    w.End();
    w.Begin(0xA220);
    w.Begin(0x0030);
    w.U16(40);
    w.End();
    w.Begin(0xA300);
    w.String("");
    w.End();
    w.End();
    w.End();

    w.End();
    w.Begin(0xB000);
    w.Begin(0xB002);
    w.End();
    w.End();
    w.End();
    if (pOffsets)
        *pOffsets = offsets;
    return w.Bytes();
}

inline void PatchU16(std::vector<uint8_t>& bytes, size_t nOffset, uint16_t n)
{
    bytes[nOffset] = static_cast<uint8_t>(n);
    bytes[nOffset + 1] = static_cast<uint8_t>(n >> 8);
}

inline void PatchU32(std::vector<uint8_t>& bytes, size_t nOffset, uint32_t n)
{
    for (int i = 0; i < 4; ++i)
        bytes[nOffset + i] = static_cast<uint8_t>(n >> (8 * i));
}
}
