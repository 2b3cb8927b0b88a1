#include "ProgramBench.h"

#include "cpu/pool/WorkerPool.h"

#include <d3d9.h>

namespace
{
bool Plan(const std::vector<DWORD>& tokens, ShaderPlan& plan, std::string* pError)
{
    std::string strError;
    if (BuildShaderPlan(tokens.data(), tokens.size(), plan, strError))
        return true;
    if (pError)
        *pError = strError;
    return false;
}

template <class Shader>
bool TokensOf(Shader* pShader, std::vector<DWORD>& tokens, std::string* pError)
{
    UINT nSize = 0;
    if (!pShader || FAILED(pShader->GetFunction(nullptr, &nSize)) || nSize % sizeof(DWORD))
    {
        if (pError)
            *pError = "no shader object";
        return false;
    }
    tokens.resize(nSize / sizeof(DWORD));
    return SUCCEEDED(pShader->GetFunction(tokens.data(), &nSize));
}
}

bool RunPixelProgram(IDirect3DPixelShader9* pShader, const float* pConstants, unsigned nConstants,
                     ShaderSampler* pSampler, const PixelQuadInput& input, PixelQuadOutput& output, std::string* pError)
{
    std::vector<DWORD> tokens;
    return TokensOf(pShader, tokens, pError) &&
           RunPixelProgram(tokens, pConstants, nConstants, pSampler, input, output, pError);
}

bool RunVertexProgram(IDirect3DVertexShader9* pShader, const float* pConstants, unsigned nConstants,
                      const float* const pInputs[16], unsigned nVertices, VertexBlockOutput& output, std::string* pError)
{
    std::vector<DWORD> tokens;
    return TokensOf(pShader, tokens, pError) &&
           RunVertexProgram(tokens, pConstants, nConstants, pInputs, nVertices, output, pError);
}

bool RunPixelProgram(const std::vector<DWORD>& tokens, const float* pConstants, unsigned nConstants,
                     ShaderSampler* pSampler, const PixelQuadInput& input, PixelQuadOutput& output, std::string* pError)
{
    ShaderPlan plan;
    if (!Plan(tokens, plan, pError) || !plan.bPixel)
        return false;
    ShaderRegisterFile file;
    file.Prepare(plan, pConstants, nConstants);
    // Every quad of the batch gets the same four pixels, so derivatives see the test's quad.
    for (const PlanRegister& reg : plan.inputs)
    {
        const float (*pixels)[4] = reg.dwType == D3DSPR_TEXTURE ? input.t[reg.dwNumber] : input.v[reg.dwNumber];
        for (int c = 0; c < 4; ++c)
            if (reg.slot[c] != NO_SLOT)
                for (unsigned i = 0; i < SHADER_LANES; ++i)
                    file.Slot(reg.slot[c])[i] = pixels[i % 4][c];
    }
    RunShaderBatch(plan, file, pSampler);
    output = PixelQuadOutput();
    for (const PlanRegister& reg : plan.outputs)
        for (int p = 0; p < 4; ++p)
        {
            if (reg.dwType == D3DSPR_DEPTHOUT)
            {
                output.bDepth = true;
                output.oDepth[p] = file.Slot(reg.slot[0])[p];
                continue;
            }
            output.nColorMask |= 1u << reg.dwNumber;
            for (int c = 0; c < 4; ++c)
                output.oC[reg.dwNumber][p][c] = file.Slot(reg.slot[c])[p];
        }
    for (int p = 0; p < 4; ++p)
        output.bKilled[p] = file.State().kill[p] != 0;
    return true;
}

bool RunVertexProgram(const std::vector<DWORD>& tokens, const float* pConstants, unsigned nConstants,
                      const float* const pInputs[16], unsigned nVertices, VertexBlockOutput& output, std::string* pError)
{
    ShaderPlan plan;
    if (!Plan(tokens, plan, pError) || plan.bPixel)
        return false;
    output = VertexBlockOutput();
    ShadeVerticesJob job;
    job.pPlan = &plan;
    job.pConstants = pConstants;
    job.nConstants = nConstants;
    job.nVertices = nVertices;
    for (int n = 0; n < 16; ++n)
        job.pInputs[n] = pInputs ? pInputs[n] : nullptr;
    for (const PlanRegister& reg : plan.outputs)
    {
        int nIndex = ShaderOutputIndex(reg.dwType, reg.dwNumber);
        output.outputs[nIndex].assign((size_t)nVertices * 4, 0.0f);
        job.pOutputs[nIndex] = output.outputs[nIndex].data();
        output.nWrittenMask |= 1u << nIndex;
    }
    WorkerPool pool(1);
    ShadeVertices(job, pool);
    return true;
}
