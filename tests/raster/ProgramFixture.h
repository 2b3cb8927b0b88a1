#pragma once
// The scene lighting programs on a tiny target: a 2 x 2 A32B32G32R32F render target covered by
// one quad whose eight texture coordinates are the same at every vertex, so that each pixel
// program sees exactly the interpolators the case gives; textures are float textures made on
// the device. Vertex programs run on the device's own executor (the program bench). The
// expected values come from the short formulas in ProgramFormulas.h.
#include "ProgramFormulas.h"

#include <ProgramBench.h>
#include <ShaderAssembler.h>
#include <ShaderProgramResources.h>
#include <d3d9.h>
#include <d3d9/testing.h>

#include <gtest/gtest.h>

#include <vector>

class ProgramTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The program of that resource id, assembled in strict mode and made on the device.
    IDirect3DPixelShader9* PixelProgram(int nResourceId);
    IDirect3DVertexShader9* VertexProgram(int nResourceId);

    // A point-sampled float texture on a stage: w x h texels, rgba each, rows top first.
    void BindTexture(DWORD nStage, UINT nWidth, UINT nHeight, const std::vector<F4>& texels);
    // A cube of 1 x 1 faces (+X, -X, +Y, -Y, +Z, -Z) on a stage.
    void BindCube(DWORD nStage, const F4 faces[6]);

    // Draws the pixel program over the target with these interpolators and constants (c0 ...);
    // the colour of pixel (0, 0).
    F4 Shade(int nResourceId, const ProgramInputs& inputs, const Constants& constants);
    // The same into render targets 0 to nTargets - 1 (2 x 2 float targets); pixel (0, 0) of each.
    std::vector<F4> ShadeTargets(int nResourceId, const ProgramInputs& inputs, const Constants& constants,
                                 int nTargets);
    // The quad with that pixel program over the bound targets; false when it was not drawn.
    bool DrawQuad(int nResourceId, const ProgramInputs& inputs, const Constants& constants);
    F4 ReadTexel(IDirect3DTexture9* pTarget);

    // Runs the vertex program on one vertex (v0 position, v1 uv, v2 tangent, v3 binormal,
    // v4 normal); outputs by the bench's index (0 oPos, 5 + n oTn).
    VertexBlockOutput RunVertex(int nResourceId, const MeshVertexInputs& vertex, const Constants& constants);

    IDirect3D9* m_pD3D = nullptr;
    IDirect3DDevice9* m_pDevice = nullptr;
    IDirect3DTexture9* m_pTarget = nullptr;
    IDirect3DVertexShader9* m_pPassThrough = nullptr;
    IDirect3DVertexDeclaration9* m_pDeclaration = nullptr;
    std::vector<IUnknown*> m_Objects;
    TextureModel m_Textures;   // what the bound textures hold, for the formulas
};
