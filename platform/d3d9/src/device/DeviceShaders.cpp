// Vertex input (declarations, FVF codes, streams, indices), shaders, shader constants, and the
// draw calls handed to the back end.
#include "core/Log.h"
#include "device/DrawBindings.h"
#include "device/Device.h"
#include "device/Shader.h"
#include "device/Surface.h"

#include <cstring>

namespace
{
// Upper bound on a program's length in tokens, far above the largest vs_2_0 program (256 slots
// of at most 6 tokens plus declarations and constants).
constexpr size_t MAX_PROGRAM_TOKENS = 1u << 16;

enum ConstantKind : UINT
{
    CONSTANT_FLOAT,
    CONSTANT_INT,
    CONSTANT_BOOL,
};

// Vertices a primitive count needs.
UINT VertexCount(D3DPRIMITIVETYPE type, UINT primitives)
{
    switch (type)
    {
    case D3DPT_POINTLIST: return primitives;
    case D3DPT_LINELIST: return primitives * 2;
    case D3DPT_LINESTRIP: return primitives + 1;
    case D3DPT_TRIANGLELIST: return primitives * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: return primitives + 2;
    }
    return 0;
}

bool ValidPrimitive(D3DPRIMITIVETYPE type)
{
    return type >= D3DPT_POINTLIST && type <= D3DPT_TRIANGLEFAN;
}

// A copy of the caller's bytes in kept, which is replaced only while something else still holds it,
// so a stream of UP draws reuses one block.
const std::shared_ptr<BufferBytes>& CopyBytes(std::shared_ptr<BufferBytes>& kept, const void* pData, size_t nBytes)
{
    if (!kept || kept.use_count() > 1)
        kept = std::make_shared<BufferBytes>();
    kept->bytes.assign(static_cast<const BYTE*>(pData), static_cast<const BYTE*>(pData) + nBytes);
    return kept;
}
}  // namespace

HRESULT Device::CreateVertexDeclaration(const D3DVERTEXELEMENT9* pVertexElements, IDirect3DVertexDeclaration9** ppDecl)
{
    CallScope call(m_CallLog, "CreateVertexDeclaration", [] { return std::string("elements"); });
    std::vector<D3DVERTEXELEMENT9> elements;
    if (call.Failing() || !ppDecl || !ReadDeclaration(pVertexElements, elements))
        return call.Result(D3DERR_INVALIDCALL);
    auto* pDecl = new VertexDeclaration(this, std::move(elements), 0);
    *ppDecl = pDecl;
    call.SetOutput(pDecl);
    return call.Result(D3D_OK);
}

HRESULT Device::SetVertexDeclaration(IDirect3DVertexDeclaration9* pDecl)
{
    CallScope call(m_CallLog, "SetVertexDeclaration", [&] { return ObjectText(pDecl); });
    auto* pObject = dynamic_cast<VertexDeclaration*>(pDecl);
    if (call.Failing() || (pDecl && (!pObject || !Owns(pDecl))))
        return call.Result(D3DERR_INVALIDCALL);
    StateTarget target = Target();
    target.state.pDeclaration.Reset(pDecl);
    target.state.nFvf = pObject ? pObject->GetFvf() : 0;
    if (target.pMask)
        target.pMask->bDeclaration = true;
    return call.Result(D3D_OK);
}

HRESULT Device::GetVertexDeclaration(IDirect3DVertexDeclaration9** ppDecl)
{
    CallScope call(m_CallLog, "GetVertexDeclaration", [] { return std::string(); });
    if (call.Failing() || !ppDecl)
        return call.Result(D3DERR_INVALIDCALL);
    *ppDecl = m_State.pDeclaration.Get();
    if (*ppDecl)
        (*ppDecl)->AddRef();
    call.SetOutput(*ppDecl);
    return call.Result(D3D_OK);
}

HRESULT Device::SetFVF(DWORD FVF)
{
    CallScope call(m_CallLog, "SetFVF", [&] { return FvfText(FVF); });
    std::vector<D3DVERTEXELEMENT9> elements;
    if (call.Failing() || !ElementsFromFvf(FVF, elements))
        return call.Result(D3DERR_INVALIDCALL);
    // One declaration per code, made on first use and kept by the device.
    BoundRef<IDirect3DVertexDeclaration9>& cached = m_FvfDeclarations[FVF];
    if (!cached)
    {
        auto* pDecl = new VertexDeclaration(this, std::move(elements), FVF);
        cached.Reset(pDecl);
        pDecl->ReleasePublic();
    }
    StateTarget target = Target();
    target.state.pDeclaration = FVF ? cached : BoundRef<IDirect3DVertexDeclaration9>();
    target.state.nFvf = FVF;
    if (target.pMask)
        target.pMask->bDeclaration = true;
    return call.Result(D3D_OK);
}

HRESULT Device::GetFVF(DWORD* pFVF)
{
    CallScope call(m_CallLog, "GetFVF", [] { return std::string(); });
    if (call.Failing() || !pFVF)
        return call.Result(D3DERR_INVALIDCALL);
    *pFVF = m_State.nFvf;
    return call.Result(D3D_OK);
}

HRESULT Device::CreateVertexShader(const DWORD* pFunction, IDirect3DVertexShader9** ppShader)
{
    CallScope call(m_CallLog, "CreateVertexShader", [&] { return pFunction ? HexText(pFunction[0]) : "NULL"; });
    if (call.Failing() || !pFunction || !ppShader || !IsSupportedShaderVersion(pFunction[0], true))
        return call.Result(D3DERR_INVALIDCALL);
    const size_t nTokens = MeasureTokens(pFunction, MAX_PROGRAM_TOKENS);
    if (nTokens == 0)
        return call.Result(D3DERR_INVALIDCALL);
    std::vector<DWORD> tokens(pFunction, pFunction + nTokens);
    // The back end checks the stream again (registers, opcodes, lengths) and refuses what it
    // cannot run.
    auto pProgram = m_pBackend->CompileProgram(tokens);
    if (!pProgram)
        return call.Result(D3DERR_INVALIDCALL);
    auto* pShader = new VertexShader(ObjectKind::VertexShader, this, std::move(tokens), std::move(pProgram));
    *ppShader = pShader;
    call.SetOutput(pShader);
    return call.Result(D3D_OK);
}

HRESULT Device::CreatePixelShader(const DWORD* pFunction, IDirect3DPixelShader9** ppShader)
{
    CallScope call(m_CallLog, "CreatePixelShader", [&] { return pFunction ? HexText(pFunction[0]) : "NULL"; });
    if (call.Failing() || !pFunction || !ppShader || !IsSupportedShaderVersion(pFunction[0], false))
        return call.Result(D3DERR_INVALIDCALL);
    const size_t nTokens = MeasureTokens(pFunction, MAX_PROGRAM_TOKENS);
    if (nTokens == 0)
        return call.Result(D3DERR_INVALIDCALL);
    std::vector<DWORD> tokens(pFunction, pFunction + nTokens);
    // The back end checks the stream again (registers, opcodes, lengths) and refuses what it
    // cannot run.
    auto pProgram = m_pBackend->CompileProgram(tokens);
    if (!pProgram)
        return call.Result(D3DERR_INVALIDCALL);
    auto* pShader = new PixelShader(ObjectKind::PixelShader, this, std::move(tokens), std::move(pProgram));
    *ppShader = pShader;
    call.SetOutput(pShader);
    return call.Result(D3D_OK);
}

HRESULT Device::SetVertexShader(IDirect3DVertexShader9* pShader)
{
    CallScope call(m_CallLog, "SetVertexShader", [&] { return ObjectText(pShader); });
    if (call.Failing() || (pShader && (!dynamic_cast<VertexShader*>(pShader) || !Owns(pShader))))
        return call.Result(D3DERR_INVALIDCALL);
    StateTarget target = Target();
    target.state.pVertexShader.Reset(pShader);
    if (target.pMask)
        target.pMask->bVertexShader = true;
    return call.Result(D3D_OK);
}

HRESULT Device::GetVertexShader(IDirect3DVertexShader9** ppShader)
{
    CallScope call(m_CallLog, "GetVertexShader", [] { return std::string(); });
    if (call.Failing() || !ppShader)
        return call.Result(D3DERR_INVALIDCALL);
    *ppShader = m_State.pVertexShader.Get();
    if (*ppShader)
        (*ppShader)->AddRef();
    call.SetOutput(*ppShader);
    return call.Result(D3D_OK);
}

HRESULT Device::SetPixelShader(IDirect3DPixelShader9* pShader)
{
    CallScope call(m_CallLog, "SetPixelShader", [&] { return ObjectText(pShader); });
    if (call.Failing() || (pShader && (!dynamic_cast<PixelShader*>(pShader) || !Owns(pShader))))
        return call.Result(D3DERR_INVALIDCALL);
    StateTarget target = Target();
    target.state.pPixelShader.Reset(pShader);
    if (target.pMask)
        target.pMask->bPixelShader = true;
    return call.Result(D3D_OK);
}

HRESULT Device::GetPixelShader(IDirect3DPixelShader9** ppShader)
{
    CallScope call(m_CallLog, "GetPixelShader", [] { return std::string(); });
    if (call.Failing() || !ppShader)
        return call.Result(D3DERR_INVALIDCALL);
    *ppShader = m_State.pPixelShader.Get();
    if (*ppShader)
        (*ppShader)->AddRef();
    call.SetOutput(*ppShader);
    return call.Result(D3D_OK);
}

// ---- Shader constants: vertex floats c0–c255, pixel floats c0–c31, 16 int and 16 bool
// registers each; a write or read past the end fails and changes nothing.

HRESULT Device::SetShaderConstants(bool bVertex, UINT nKind, UINT nStart, const void* pData, UINT nCount)
{
    static const UINT kLimits[2][3] = {{PS_FLOAT_CONSTANTS, INT_CONSTANTS, BOOL_CONSTANTS},
                                       {VS_FLOAT_CONSTANTS, INT_CONSTANTS, BOOL_CONSTANTS}};
    if (!pData || nStart > kLimits[bVertex][nKind] || nCount > kLimits[bVertex][nKind] - nStart)
        return D3DERR_INVALIDCALL;
    StateTarget target = Target();
    ShaderConstants& constants = bVertex ? target.state.vertexConstants : target.state.pixelConstants;
    for (UINT i = 0; i < nCount; ++i)
    {
        const UINT reg = nStart + i;
        if (nKind == CONSTANT_FLOAT)
            std::memcpy(constants.floats[reg], static_cast<const float*>(pData) + 4 * i, sizeof(float) * 4);
        else if (nKind == CONSTANT_INT)
            std::memcpy(constants.ints[reg], static_cast<const int*>(pData) + 4 * i, sizeof(int) * 4);
        else
            constants.bools[reg] = static_cast<const BOOL*>(pData)[i] ? TRUE : FALSE;
        if (!target.pMask)
            continue;
        StateMask& mask = *target.pMask;
        if (nKind == CONSTANT_FLOAT)
            (bVertex ? mask.vertexFloats : mask.pixelFloats).set(reg);
        else if (nKind == CONSTANT_INT)
            (bVertex ? mask.vertexInts : mask.pixelInts).set(reg);
        else
            (bVertex ? mask.vertexBools : mask.pixelBools).set(reg);
    }
    return D3D_OK;
}

HRESULT Device::GetShaderConstants(bool bVertex, UINT nKind, UINT nStart, void* pData, UINT nCount) const
{
    static const UINT kLimits[2][3] = {{PS_FLOAT_CONSTANTS, INT_CONSTANTS, BOOL_CONSTANTS},
                                       {VS_FLOAT_CONSTANTS, INT_CONSTANTS, BOOL_CONSTANTS}};
    if (!pData || nStart > kLimits[bVertex][nKind] || nCount > kLimits[bVertex][nKind] - nStart)
        return D3DERR_INVALIDCALL;
    const ShaderConstants& constants = bVertex ? m_State.vertexConstants : m_State.pixelConstants;
    if (nKind == CONSTANT_FLOAT)
        std::memcpy(pData, constants.floats[nStart], sizeof(float) * 4 * nCount);
    else if (nKind == CONSTANT_INT)
        std::memcpy(pData, constants.ints[nStart], sizeof(int) * 4 * nCount);
    else
        std::memcpy(pData, &constants.bools[nStart], sizeof(BOOL) * nCount);
    return D3D_OK;
}

HRESULT Device::SetVertexShaderConstantF(UINT StartRegister, const float* pConstantData, UINT Vector4fCount)
{
    CallScope call(m_CallLog, "SetVertexShaderConstantF", [&] {
        return JoinArgs({UintText(StartRegister), FloatsText(pConstantData, 4 * Vector4fCount), UintText(Vector4fCount)});
    });
    if (call.Failing())
        return call.Result(D3DERR_INVALIDCALL);
    return call.Result(SetShaderConstants(true, CONSTANT_FLOAT, StartRegister, pConstantData, Vector4fCount));
}

HRESULT Device::GetVertexShaderConstantF(UINT StartRegister, float* pConstantData, UINT Vector4fCount)
{
    return GetShaderConstants(true, CONSTANT_FLOAT, StartRegister, pConstantData, Vector4fCount);
}

HRESULT Device::SetVertexShaderConstantI(UINT StartRegister, const int* pConstantData, UINT Vector4iCount)
{
    CallScope call(m_CallLog, "SetVertexShaderConstantI",
                   [&] { return JoinArgs({UintText(StartRegister), UintText(Vector4iCount)}); });
    if (call.Failing())
        return call.Result(D3DERR_INVALIDCALL);
    return call.Result(SetShaderConstants(true, CONSTANT_INT, StartRegister, pConstantData, Vector4iCount));
}

HRESULT Device::GetVertexShaderConstantI(UINT StartRegister, int* pConstantData, UINT Vector4iCount)
{
    return GetShaderConstants(true, CONSTANT_INT, StartRegister, pConstantData, Vector4iCount);
}

HRESULT Device::SetVertexShaderConstantB(UINT StartRegister, const BOOL* pConstantData, UINT BoolCount)
{
    CallScope call(m_CallLog, "SetVertexShaderConstantB",
                   [&] { return JoinArgs({UintText(StartRegister), UintText(BoolCount)}); });
    if (call.Failing())
        return call.Result(D3DERR_INVALIDCALL);
    return call.Result(SetShaderConstants(true, CONSTANT_BOOL, StartRegister, pConstantData, BoolCount));
}

HRESULT Device::GetVertexShaderConstantB(UINT StartRegister, BOOL* pConstantData, UINT BoolCount)
{
    return GetShaderConstants(true, CONSTANT_BOOL, StartRegister, pConstantData, BoolCount);
}

HRESULT Device::SetPixelShaderConstantF(UINT StartRegister, const float* pConstantData, UINT Vector4fCount)
{
    CallScope call(m_CallLog, "SetPixelShaderConstantF", [&] {
        return JoinArgs({UintText(StartRegister), FloatsText(pConstantData, 4 * Vector4fCount), UintText(Vector4fCount)});
    });
    if (call.Failing())
        return call.Result(D3DERR_INVALIDCALL);
    return call.Result(SetShaderConstants(false, CONSTANT_FLOAT, StartRegister, pConstantData, Vector4fCount));
}

HRESULT Device::GetPixelShaderConstantF(UINT StartRegister, float* pConstantData, UINT Vector4fCount)
{
    return GetShaderConstants(false, CONSTANT_FLOAT, StartRegister, pConstantData, Vector4fCount);
}

HRESULT Device::SetPixelShaderConstantI(UINT StartRegister, const int* pConstantData, UINT Vector4iCount)
{
    CallScope call(m_CallLog, "SetPixelShaderConstantI",
                   [&] { return JoinArgs({UintText(StartRegister), UintText(Vector4iCount)}); });
    if (call.Failing())
        return call.Result(D3DERR_INVALIDCALL);
    return call.Result(SetShaderConstants(false, CONSTANT_INT, StartRegister, pConstantData, Vector4iCount));
}

HRESULT Device::GetPixelShaderConstantI(UINT StartRegister, int* pConstantData, UINT Vector4iCount)
{
    return GetShaderConstants(false, CONSTANT_INT, StartRegister, pConstantData, Vector4iCount);
}

HRESULT Device::SetPixelShaderConstantB(UINT StartRegister, const BOOL* pConstantData, UINT BoolCount)
{
    CallScope call(m_CallLog, "SetPixelShaderConstantB",
                   [&] { return JoinArgs({UintText(StartRegister), UintText(BoolCount)}); });
    if (call.Failing())
        return call.Result(D3DERR_INVALIDCALL);
    return call.Result(SetShaderConstants(false, CONSTANT_BOOL, StartRegister, pConstantData, BoolCount));
}

HRESULT Device::GetPixelShaderConstantB(UINT StartRegister, BOOL* pConstantData, UINT BoolCount)
{
    return GetShaderConstants(false, CONSTANT_BOOL, StartRegister, pConstantData, BoolCount);
}

// ---- Streams and indices

HRESULT Device::SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9* pStreamData, UINT OffsetInBytes, UINT Stride)
{
    CallScope call(m_CallLog, "SetStreamSource", [&] {
        return JoinArgs({UintText(StreamNumber), ObjectText(pStreamData), UintText(OffsetInBytes), UintText(Stride)});
    });
    auto* pBuffer = dynamic_cast<VertexBuffer*>(pStreamData);
    if (call.Failing() || StreamNumber >= MAX_STREAMS || (pStreamData && (!pBuffer || !Owns(pStreamData))))
        return call.Result(D3DERR_INVALIDCALL);
    if (pBuffer && (pBuffer->GetPool() == D3DPOOL_SYSTEMMEM || pBuffer->GetPool() == D3DPOOL_SCRATCH ||
                    OffsetInBytes > pBuffer->GetStorage().GetLength()))
        return call.Result(D3DERR_INVALIDCALL);
    StateTarget target = Target();
    StreamSlot& slot = target.state.streams[StreamNumber];
    slot.pBuffer.Reset(pStreamData);
    slot.nOffset = OffsetInBytes;
    slot.nStride = Stride;
    if (target.pMask)
        target.pMask->streams.set(StreamNumber);
    return call.Result(D3D_OK);
}

HRESULT Device::GetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9** ppStreamData, UINT* pOffsetInBytes,
                                UINT* pStride)
{
    CallScope call(m_CallLog, "GetStreamSource", [&] { return UintText(StreamNumber); });
    if (call.Failing() || !ppStreamData || !pOffsetInBytes || !pStride || StreamNumber >= MAX_STREAMS)
        return call.Result(D3DERR_INVALIDCALL);
    const StreamSlot& slot = m_State.streams[StreamNumber];
    *ppStreamData = slot.pBuffer.Get();
    if (*ppStreamData)
        (*ppStreamData)->AddRef();
    *pOffsetInBytes = slot.nOffset;
    *pStride = slot.nStride;
    call.SetOutput(*ppStreamData);
    return call.Result(D3D_OK);
}

HRESULT Device::SetIndices(IDirect3DIndexBuffer9* pIndexData)
{
    CallScope call(m_CallLog, "SetIndices", [&] { return ObjectText(pIndexData); });
    auto* pBuffer = dynamic_cast<IndexBuffer*>(pIndexData);
    if (call.Failing() || (pIndexData && (!pBuffer || !Owns(pIndexData))))
        return call.Result(D3DERR_INVALIDCALL);
    if (pBuffer && (pBuffer->GetPool() == D3DPOOL_SYSTEMMEM || pBuffer->GetPool() == D3DPOOL_SCRATCH))
        return call.Result(D3DERR_INVALIDCALL);
    StateTarget target = Target();
    target.state.pIndices.Reset(pIndexData);
    if (target.pMask)
        target.pMask->bIndices = true;
    return call.Result(D3D_OK);
}

HRESULT Device::GetIndices(IDirect3DIndexBuffer9** ppIndexData)
{
    CallScope call(m_CallLog, "GetIndices", [] { return std::string(); });
    if (call.Failing() || !ppIndexData)
        return call.Result(D3DERR_INVALIDCALL);
    *ppIndexData = m_State.pIndices.Get();
    if (*ppIndexData)
        (*ppIndexData)->AddRef();
    call.SetOutput(*ppIndexData);
    return call.Result(D3D_OK);
}

// ---- Draws: checked here, carried out by the back end.

DrawCommand& Device::NextDrawCommand()
{
    ResetDrawCommand(m_DrawCommand);
    return m_DrawCommand;
}

bool Device::TargetsMatch() const
{
    // Targets 1–3 have target 0's size; the depth surface is at least as large.
    const Surface* pTarget = SurfaceOf(m_State.renderTargets[0]);
    for (UINT i = 1; i < MAX_RENDER_TARGETS; ++i)
    {
        const Surface* pOther = SurfaceOf(m_State.renderTargets[i]);
        if (pOther && (pOther->GetWidth() != pTarget->GetWidth() || pOther->GetHeight() != pTarget->GetHeight()))
            return false;
    }
    const Surface* pDepth = SurfaceOf(m_State.pDepthStencil);
    return !pDepth || (pDepth->GetWidth() >= pTarget->GetWidth() && pDepth->GetHeight() >= pTarget->GetHeight());
}

HRESULT Device::SubmitDraw(DrawCommand& command)
{
    if (!ValidPrimitive(command.nType) || !m_State.pDeclaration)
        return D3DERR_INVALIDCALL;
    // A draw of nothing does nothing and succeeds.
    if (command.nPrimitiveCount == 0)
        return D3D_OK;
    if (!TargetsMatch())
    {
        LogWarning("Device::DrawPrimitive() - the bound render targets differ in size or the depth surface is smaller.");
        return D3DERR_INVALIDCALL;
    }
    if (!ResolveDrawResources(m_State, command))
        return D3DERR_INVALIDCALL;
    return m_pBackend->Draw(m_State, command);
}

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex, UINT PrimitiveCount)
{
    CallScope call(m_CallLog, "DrawPrimitive", [&] {
        return JoinArgs({PrimitiveName(PrimitiveType), UintText(StartVertex), UintText(PrimitiveCount)});
    });
    if (call.Failing() || !m_State.streams[0].pBuffer)
        return call.Result(D3DERR_INVALIDCALL);
    DrawCommand& command = NextDrawCommand();
    command.nType = PrimitiveType;
    command.nStartVertex = StartVertex;
    command.nPrimitiveCount = PrimitiveCount;
    command.nVertexCount = VertexCount(PrimitiveType, PrimitiveCount);
    return call.Result(SubmitDraw(command));
}

HRESULT Device::DrawIndexedPrimitive(D3DPRIMITIVETYPE PrimitiveType, INT BaseVertexIndex, UINT MinVertexIndex,
                                     UINT NumVertices, UINT startIndex, UINT primCount)
{
    CallScope call(m_CallLog, "DrawIndexedPrimitive", [&] {
        return JoinArgs({PrimitiveName(PrimitiveType), IntText(BaseVertexIndex), UintText(MinVertexIndex),
                         UintText(NumVertices), UintText(startIndex), UintText(primCount)});
    });
    if (call.Failing() || !m_State.streams[0].pBuffer || !m_State.pIndices)
        return call.Result(D3DERR_INVALIDCALL);
    DrawCommand& command = NextDrawCommand();
    command.nType = PrimitiveType;
    command.bIndexed = true;
    command.nBaseVertex = BaseVertexIndex;
    command.nMinVertex = MinVertexIndex;
    command.nVertexCount = NumVertices;
    command.nStartIndex = startIndex;
    command.nPrimitiveCount = primCount;
    return call.Result(SubmitDraw(command));
}

HRESULT Device::DrawPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT PrimitiveCount, const void* pVertexStreamZeroData,
                                UINT VertexStreamZeroStride)
{
    CallScope call(m_CallLog, "DrawPrimitiveUP", [&] {
        return JoinArgs({PrimitiveName(PrimitiveType), UintText(PrimitiveCount), "data", UintText(VertexStreamZeroStride)});
    });
    if (call.Failing() || !pVertexStreamZeroData || VertexStreamZeroStride == 0 || !ValidPrimitive(PrimitiveType))
        return call.Result(D3DERR_INVALIDCALL);
    DrawCommand& command = NextDrawCommand();
    command.nType = PrimitiveType;
    command.nPrimitiveCount = PrimitiveCount;
    command.nVertexCount = VertexCount(PrimitiveType, PrimitiveCount);
    command.pUserVertices = CopyBytes(m_pUserVertices, pVertexStreamZeroData,
                                      static_cast<size_t>(command.nVertexCount) * VertexStreamZeroStride);
    command.nUserStride = VertexStreamZeroStride;
    return call.Result(SubmitDraw(command));
}

HRESULT Device::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT MinVertexIndex, UINT NumVertices,
                                       UINT PrimitiveCount, const void* pIndexData, D3DFORMAT IndexDataFormat,
                                       const void* pVertexStreamZeroData, UINT VertexStreamZeroStride)
{
    CallScope call(m_CallLog, "DrawIndexedPrimitiveUP", [&] {
        return JoinArgs({PrimitiveName(PrimitiveType), UintText(MinVertexIndex), UintText(NumVertices),
                         UintText(PrimitiveCount), "indices", IndexDataFormat == D3DFMT_INDEX32 ? "INDEX32" : "INDEX16",
                         "data", UintText(VertexStreamZeroStride)});
    });
    if (call.Failing() || !pIndexData || !pVertexStreamZeroData || VertexStreamZeroStride == 0 ||
        !ValidPrimitive(PrimitiveType) || (IndexDataFormat != D3DFMT_INDEX16 && IndexDataFormat != D3DFMT_INDEX32))
        return call.Result(D3DERR_INVALIDCALL);
    DrawCommand& command = NextDrawCommand();
    command.nType = PrimitiveType;
    command.bIndexed = true;
    command.nMinVertex = MinVertexIndex;
    command.nVertexCount = NumVertices;
    command.nPrimitiveCount = PrimitiveCount;
    const size_t nIndexBytes = IndexDataFormat == D3DFMT_INDEX32 ? 4 : 2;
    command.pUserIndices = CopyBytes(m_pUserIndices, pIndexData, VertexCount(PrimitiveType, PrimitiveCount) * nIndexBytes);
    command.nUserIndexFormat = IndexDataFormat;
    command.pUserVertices = CopyBytes(m_pUserVertices, pVertexStreamZeroData,
                                      static_cast<size_t>(MinVertexIndex + NumVertices) * VertexStreamZeroStride);
    command.nUserStride = VertexStreamZeroStride;
    return call.Result(SubmitDraw(command));
}
