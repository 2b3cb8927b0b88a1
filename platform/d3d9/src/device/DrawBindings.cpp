#include "device/DrawBindings.h"

#include "device/Shader.h"
#include "device/Texture.h"

#include <algorithm>

namespace
{
// a · b for row vectors: a is applied first.
D3DMATRIX MultiplyMatrices(const D3DMATRIX& a, const D3DMATRIX& b)
{
    D3DMATRIX product{};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
        {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a.m[r][k] * b.m[k][c];
            product.m[r][c] = sum;
        }
    return product;
}

// The target that a draw may use: targets 1-3 must match target 0's size.
bool ResolveTargets(const DeviceState& state, DrawResources& resources)
{
    const Surface* pFirst = SurfaceOf(state.renderTargets[0]);
    if (!pFirst)
        return false;
    for (UINT i = 0; i < MAX_RENDER_TARGETS; ++i)
    {
        Surface* pSurface = SurfaceOf(state.renderTargets[i]);
        if (!pSurface)
            continue;
        if (pSurface->GetWidth() != pFirst->GetWidth() || pSurface->GetHeight() != pFirst->GetHeight())
            return false;
        resources.targets[i] = &pSurface->GetStorage();
    }
    if (Surface* pDepth = SurfaceOf(state.pDepthStencil))
    {
        // A larger depth surface is used from its top-left corner; a smaller one cannot be.
        if (pDepth->GetWidth() < pFirst->GetWidth() || pDepth->GetHeight() < pFirst->GetHeight())
            return false;
        resources.pDepthStencil = &pDepth->GetStorage();
    }
    return true;
}

void ResolveSamplers(const DeviceState& state, DrawResources& resources)
{
    for (UINT i = 0; i < SAMPLER_COUNT; ++i)
    {
        TextureObject* pTexture = TextureOf(state.textures[i]);
        if (!pTexture)
            continue;
        SamplerImages& images = resources.samplers[i];
        images.nType = pTexture->GetTextureType();
        images.nLevels = pTexture->GetTextureParams().nLevels;
        for (UINT face = 0; face < pTexture->GetFaceCount(); ++face)
            for (UINT level = 0; level < images.nLevels; ++level)
                images.images.push_back(&pTexture->GetLevelStorage(face, level));
    }
}
}

bool ResolveDrawResources(const DeviceState& state, DrawCommand& command)
{
    DrawResources& resources = command.resources;
    if (!ResolveTargets(state, resources))
        return false;
    auto* pDeclaration = BoundAs<VertexDeclaration>(state.pDeclaration, ObjectKind::VertexDeclaration);
    if (!pDeclaration)
        return false;
    resources.pElements = &pDeclaration->GetElements();
    for (const D3DVERTEXELEMENT9& element : *resources.pElements)
        if (element.Stream == 0)
            resources.nVertexBytes = std::max<UINT>(resources.nVertexBytes, element.Offset + DeclTypeSize(element.Type));
    if (command.pUserVertices)
    {
        resources.pVertexBytes = command.pUserVertices.get();
        resources.nStride = command.nUserStride;
    }
    else
    {
        auto* pBuffer = BoundAs<VertexBuffer>(state.streams[0].pBuffer, ObjectKind::VertexBuffer);
        if (!pBuffer)
            return false;
        resources.pVertexBytes = pBuffer->GetStorage().GetBytes().get();
        resources.nStreamOffset = state.streams[0].nOffset;
        resources.nStride = state.streams[0].nStride;
    }
    if (command.pUserIndices)
    {
        resources.pIndexBytes = command.pUserIndices.get();
        resources.bIndex32 = command.nUserIndexFormat == D3DFMT_INDEX32;
    }
    else if (command.bIndexed)
    {
        auto* pIndices = BoundAs<IndexBuffer>(state.pIndices, ObjectKind::IndexBuffer);
        if (!pIndices)
            return false;
        resources.pIndexBytes = pIndices->GetStorage().GetBytes().get();
        resources.bIndex32 = pIndices->GetFormat() == D3DFMT_INDEX32;
    }
    if (auto* pShader = BoundAs<VertexShader>(state.pVertexShader, ObjectKind::VertexShader))
        resources.pVertexProgram = pShader->GetProgram().get();
    else
    {
        // Only fixed-function vertex processing reads the transforms.
        resources.world = state.transforms[TransformSlot(D3DTS_WORLD)];
        resources.worldView = MultiplyMatrices(resources.world, state.transforms[TransformSlot(D3DTS_VIEW)]);
        resources.worldViewProjection =
            MultiplyMatrices(resources.worldView, state.transforms[TransformSlot(D3DTS_PROJECTION)]);
    }
    if (auto* pShader = BoundAs<PixelShader>(state.pPixelShader, ObjectKind::PixelShader))
        resources.pPixelProgram = pShader->GetProgram().get();
    ResolveSamplers(state, resources);
    return true;
}

void ResetDrawCommand(DrawCommand& command)
{
    // Copy-assigning an empty command empties every list without giving up its storage.
    static const DrawCommand s_empty;
    command = s_empty;
}
