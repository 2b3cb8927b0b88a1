#include "cpu/shader/ShaderPlan.h"

#include "cpu/shader/ShaderRoutines.h"

#include <atomic>
#include <cstring>
#include <map>

const PlanRegister* ShaderPlan::FindOutput(DWORD dwType, DWORD dwNumber) const
{
    for (const PlanRegister& reg : outputs)
        if (reg.dwType == dwType && reg.dwNumber == dwNumber)
            return &reg;
    return nullptr;
}

const PlanRegister* ShaderPlan::FindInput(DWORD dwType, DWORD dwNumber) const
{
    for (const PlanRegister& reg : inputs)
        if (reg.dwType == dwType && reg.dwNumber == dwNumber)
            return &reg;
    return nullptr;
}

namespace
{
// Register files the device runs, with their sizes per kind of program.
struct RegisterLimit
{
    DWORD dwType;
    DWORD nPixel;
    DWORD nVertex11;
    DWORD nVertex20;
};
constexpr RegisterLimit s_Limits[] = {
    {D3DSPR_TEMP, 12, 12, 12},      {D3DSPR_INPUT, 2, 16, 16},    {D3DSPR_CONST, 32, 96, 256},
    {D3DSPR_TEXTURE, 8, 0, 0},      {D3DSPR_RASTOUT, 0, 3, 3},    {D3DSPR_ATTROUT, 0, 2, 2},
    {D3DSPR_TEXCRDOUT, 0, 8, 8},    {D3DSPR_COLOROUT, 4, 0, 0},   {D3DSPR_DEPTHOUT, 1, 0, 0},
    {D3DSPR_SAMPLER, 16, 0, 0},
};

// Component-wise instructions and their routines.
struct ComponentwiseOp
{
    DWORD dwOpcode;
    ShaderRoutineKind kind;
};
constexpr ComponentwiseOp s_Componentwise[] = {
    {D3DSIO_MOV, ROUTINE_MOV}, {D3DSIO_ADD, ROUTINE_ADD}, {D3DSIO_SUB, ROUTINE_SUB}, {D3DSIO_MUL, ROUTINE_MUL},
    {D3DSIO_MAD, ROUTINE_MAD}, {D3DSIO_MIN, ROUTINE_MIN}, {D3DSIO_MAX, ROUTINE_MAX}, {D3DSIO_SGE, ROUTINE_SGE},
    {D3DSIO_SLT, ROUTINE_SLT}, {D3DSIO_FRC, ROUTINE_FRC}, {D3DSIO_ABS, ROUTINE_ABS}, {D3DSIO_LRP, ROUTINE_LRP},
    {D3DSIO_CMP, ROUTINE_CMP},
};
constexpr ComponentwiseOp s_Scalar[] = {
    {D3DSIO_RCP, ROUTINE_RCP}, {D3DSIO_RSQ, ROUTINE_RSQ}, {D3DSIO_EXP, ROUTINE_EXP},
    {D3DSIO_LOG, ROUTINE_LOG}, {D3DSIO_POW, ROUTINE_POW},
};

// Matrix macros: rows (dot products written) and the length of each dot product.
struct MatrixOp
{
    DWORD dwOpcode;
    int nRows;
    int nColumns;
};
constexpr MatrixOp s_Matrix[] = {
    {D3DSIO_M4x4, 4, 4}, {D3DSIO_M4x3, 3, 4}, {D3DSIO_M3x4, 4, 3}, {D3DSIO_M3x3, 3, 3}, {D3DSIO_M3x2, 2, 3},
};

template <class T, size_t N>
const T* FindOp(const T (&table)[N], DWORD dwOpcode)
{
    for (const T& entry : table)
        if (entry.dwOpcode == dwOpcode)
            return &entry;
    return nullptr;
}

class PlanBuilder
{
public:
    PlanBuilder(ShaderPlan& plan, std::string& strError) : m_plan(plan), m_strError(strError) {}

    bool Build(const DWORD* pTokens, size_t nTokens)
    {
        if (!pTokens || nTokens < 2)
            return Fail("the program is empty");
        DWORD dwVersion = pTokens[0];
        m_plan.dwVersion = dwVersion;
        m_plan.bPixel = dwVersion == D3DPS_VERSION(2, 0);
        m_bVertex11 = dwVersion == D3DVS_VERSION(1, 1);
        if (!m_plan.bPixel && !m_bVertex11 && dwVersion != D3DVS_VERSION(2, 0))
            return Fail("unsupported version token");
        m_scratch = AllocateSlots(8);
        size_t i = 1;
        while (true)
        {
            if (i >= nTokens)
                return Fail("the program has no end token");
            DWORD dwInstruction = pTokens[i];
            DWORD dwOpcode = ShaderOpcode(dwInstruction);
            if (dwOpcode == D3DSIO_END)
                break;
            if (dwOpcode == D3DSIO_COMMENT)
            {
                i += 1 + ((dwInstruction & D3DSI_COMMENTSIZE_MASK) >> D3DSI_COMMENTSIZE_SHIFT);
                continue;
            }
            size_t nParams = 0;
            if (dwOpcode == D3DSIO_DCL)
                nParams = 2;
            else if (dwOpcode == D3DSIO_DEF)
                nParams = 5;
            else
            {
                ShaderOpcodeShape shape{};
                if (!GetShaderOpcodeShape(dwOpcode, shape))
                    return Fail("unsupported instruction (flow control or an unknown opcode)");
                nParams = (shape.bDestination ? 1 : 0) + (size_t)shape.nSources;
            }
            if (!m_bVertex11 && ((dwInstruction & D3DSI_INSTLENGTH_MASK) >> D3DSI_INSTLENGTH_SHIFT) != nParams)
                return Fail("instruction length does not match its opcode");
            if (dwInstruction & (D3DSHADER_INSTRUCTION_PREDICATED | D3DSI_COISSUE | 0x80000000u))
                return Fail("predicated or co-issued instructions are not supported");
            if (i + 1 + nParams > nTokens)
                return Fail("the program ends inside an instruction");
            m_pParams = pTokens + i + 1;
            if (!Instruction(dwInstruction, dwOpcode, nParams))
                return false;
            i += 1 + nParams;
        }
        FinishFills();
        m_plan.nSlots = m_nSlots;
        return true;
    }

private:
    bool Fail(const char* szReason)
    {
        m_strError = szReason;
        return false;
    }

    uint16_t AllocateSlots(unsigned n)
    {
        uint16_t first = (uint16_t)m_nSlots;
        m_nSlots += n;
        return first;
    }

    DWORD Limit(DWORD dwType) const
    {
        for (const RegisterLimit& limit : s_Limits)
            if (limit.dwType == dwType)
                return m_plan.bPixel ? limit.nPixel : m_bVertex11 ? limit.nVertex11 : limit.nVertex20;
        return 0;
    }

    bool CheckParam(DWORD dwParam)
    {
        if (!(dwParam & 0x80000000u))
            return Fail("malformed parameter token");
        if (dwParam & D3DSHADER_ADDRMODE_RELATIVE)
            return Fail("relative addressing is not supported");
        if (ShaderRegisterNumber(dwParam) >= Limit(ShaderRegisterType(dwParam)))
            return Fail("register out of range");
        return true;
    }

    bool IsInputType(DWORD dwType) const
    {
        return dwType == D3DSPR_INPUT || (m_plan.bPixel && dwType == D3DSPR_TEXTURE);
    }
    bool IsOutputType(DWORD dwType) const
    {
        return dwType == D3DSPR_COLOROUT || dwType == D3DSPR_DEPTHOUT || dwType == D3DSPR_RASTOUT ||
               dwType == D3DSPR_ATTROUT || dwType == D3DSPR_TEXCRDOUT;
    }

    // First slot of a register's four components, allocated at first use.
    uint16_t Base(DWORD dwType, DWORD dwNumber)
    {
        auto key = std::make_pair(dwType, dwNumber);
        auto it = m_bases.find(key);
        if (it != m_bases.end())
            return it->second;
        uint16_t base = AllocateSlots(4);
        m_bases[key] = base;
        PlanRegister reg;
        reg.dwType = dwType;
        reg.dwNumber = dwNumber;
        for (int c = 0; c < 4; ++c)
            reg.slot[c] = (uint16_t)(base + c);
        if (IsInputType(dwType))
        {
            auto usage = m_usages.find(dwNumber);
            reg.dwUsage = usage == m_usages.end() ? 0 : usage->second;
            m_plan.inputs.push_back(reg);
        }
        else if (IsOutputType(dwType))
            m_plan.outputs.push_back(reg);
        else if (dwType == D3DSPR_CONST)
            for (int c = 0; c < 4; ++c)
                m_plan.constants.push_back({dwNumber, c, (uint16_t)(base + c)});
        return base;
    }

    uint16_t Base(DWORD dwParam) { return Base(ShaderRegisterType(dwParam), ShaderRegisterNumber(dwParam)); }

    bool Source(DWORD dwParam, uint16_t (&slots)[4], float& fNegate)
    {
        if (!CheckParam(dwParam))
            return false;
        DWORD dwType = ShaderRegisterType(dwParam);
        if (IsOutputType(dwType) || dwType == D3DSPR_SAMPLER)
            return Fail("an output or sampler register is read as a value");
        DWORD dwModifier = ShaderSourceModifier(dwParam);
        if (dwModifier != D3DSPSM_NONE && dwModifier != D3DSPSM_NEG)
            return Fail("unsupported source modifier");
        fNegate = dwModifier == D3DSPSM_NEG ? -1.0f : 1.0f;
        uint16_t base = Base(dwParam);
        for (int j = 0; j < 4; ++j)
        {
            DWORD c = ShaderSwizzle(dwParam, j);
            slots[j] = (uint16_t)(base + c);
            m_read[base + c] = true;
            if (dwType == D3DSPR_TEMP && !(m_written[base + c]))
                m_readBeforeWrite[base + c] = true;
        }
        return true;
    }

    // The written components of a destination; false for a malformed one.
    bool Destination(DWORD dwParam, PlanStep& step, bool& bSaturate)
    {
        if (!CheckParam(dwParam))
            return false;
        DWORD dwType = ShaderRegisterType(dwParam);
        if (dwType != D3DSPR_TEMP && !IsOutputType(dwType))
            return Fail("the destination is not a temporary or output register");
        if (dwParam & (D3DSP_DSTSHIFT_MASK | D3DSPDM_MSAMPCENTROID))
            return Fail("unsupported destination modifier");
        bSaturate = (dwParam & D3DSPDM_SATURATE) != 0;
        uint16_t base = Base(dwParam);
        step.nComponents = 0;
        for (int c = 0; c < 4; ++c)
            if (ShaderWriteMask(dwParam) & (1u << c))
            {
                step.comps[step.nComponents] = (uint8_t)c;
                step.dst[step.nComponents++] = (uint16_t)(base + c);
            }
        if (step.nComponents == 0)
            return Fail("empty write mask");
        if (dwType == D3DSPR_DEPTHOUT)
            m_plan.bWritesDepth = true;
        return true;
    }

    void MarkWritten(const PlanStep& step)
    {
        for (unsigned k = 0; k < step.nComponents; ++k)
            m_written[step.dst[k]] = true;
    }

    // A component-wise step whose later component reads a slot an earlier one writes would see
    // the new value; such steps write scratch slots and copy afterwards.
    void Emit(PlanStep step, ShaderRoutineKind kind, bool bSaturate, bool bComponentwise, bool bAliased)
    {
        bool bConflict = bAliased;
        if (bComponentwise)
            for (unsigned k = 0; k < step.nComponents && !bConflict; ++k)
                for (unsigned k2 = k + 1; k2 < step.nComponents; ++k2)
                    for (int s = 0; s < 3; ++s)
                        bConflict |= step.src[s][k2] == step.dst[k];
        PlanStep copy;
        if (bConflict)
        {
            copy.nComponents = step.nComponents;
            for (unsigned k = 0; k < step.nComponents; ++k)
            {
                copy.comps[k] = step.comps[k];
                copy.dst[k] = step.dst[k];
                copy.src[0][k] = (uint16_t)(m_scratch + step.comps[k]);
                step.dst[k] = copy.src[0][k];
            }
            copy.pfnRun = GetShaderRoutine(ROUTINE_MOV, false);
        }
        step.pfnRun = GetShaderRoutine(kind, bSaturate);
        m_plan.steps.push_back(step);
        if (bConflict)
            m_plan.steps.push_back(copy);
    }

    bool SameRegister(DWORD a, DWORD b) const
    {
        return ShaderRegisterType(a) == ShaderRegisterType(b) && ShaderRegisterNumber(a) == ShaderRegisterNumber(b);
    }

    bool Instruction(DWORD dwInstruction, DWORD dwOpcode, size_t nParams)
    {
        const DWORD* p = m_pParams;
        if (dwOpcode == D3DSIO_NOP)
            return true;
        if (dwOpcode == D3DSIO_DCL)
            return Declaration(p[0], p[1]);
        if (dwOpcode == D3DSIO_DEF)
        {
            if (!CheckParam(p[0]) || ShaderRegisterType(p[0]) != D3DSPR_CONST)
                return Fail("def writes a constant register");
            std::vector<float> values(4);
            std::memcpy(values.data(), p + 1, 4 * sizeof(float));
            m_plan.defs.emplace_back(ShaderRegisterNumber(p[0]), values);
            return true;
        }
        if (dwOpcode == D3DSIO_TEXKILL)
        {
            PlanStep step;
            float fNegate;
            if (!Source(p[0] & ~(D3DSP_SWIZZLE_MASK | D3DSP_SRCMOD_MASK | D3DSP_DSTMOD_MASK), step.src[0], fNegate))
                return false;
            // The source token form of the register reads .xxxx; texkill tests x, y and z.
            uint16_t base = Base(p[0]);
            for (int c = 0; c < 4; ++c)
            {
                step.src[0][c] = (uint16_t)(base + c);
                m_read[base + c] = true;
            }
            step.pfnRun = GetShaderRoutine(ROUTINE_TEXKILL, false);
            m_plan.steps.push_back(step);
            m_plan.bKills = true;
            return true;
        }
        PlanStep step;
        bool bSaturate = false;
        if (!Destination(p[0], step, bSaturate))
            return false;
        size_t nSources = nParams - 1;
        uint16_t sources[3][4] = {};
        for (size_t s = 0; s < nSources && dwOpcode != D3DSIO_TEX; ++s)
            if (!Source(p[1 + s], sources[s], step.negate[s]))
                return false;
        bool bAliased = false;
        for (size_t s = 0; s < nSources; ++s)
            bAliased |= SameRegister(p[0], p[1 + s]);

        if (const ComponentwiseOp* pOp = FindOp(s_Componentwise, dwOpcode))
        {
            for (size_t s = 0; s < nSources; ++s)
                for (unsigned k = 0; k < step.nComponents; ++k)
                    step.src[s][k] = sources[s][step.comps[k]];
            Emit(step, pOp->kind, bSaturate, true, false);
        }
        else if (const ComponentwiseOp* pScalar = FindOp(s_Scalar, dwOpcode))
        {
            for (size_t s = 0; s < nSources; ++s)
                step.src[s][0] = sources[s][0];
            Emit(step, pScalar->kind, bSaturate, false, false);
        }
        else if (const MatrixOp* pMatrix = FindOp(s_Matrix, dwOpcode))
        {
            if (!Matrix(*pMatrix, step, sources[0], bSaturate, SameRegister(p[0], p[1])))
                return false;
        }
        else
        {
            switch (dwOpcode)
            {
            case D3DSIO_DP3:
            case D3DSIO_DP4:
            case D3DSIO_DP2ADD:
                std::memcpy(step.src, sources, sizeof(sources));
                Emit(step, dwOpcode == D3DSIO_DP3 ? ROUTINE_DP3 : dwOpcode == D3DSIO_DP4 ? ROUTINE_DP4 : ROUTINE_DP2ADD,
                     bSaturate, false, false);
                break;
            case D3DSIO_CRS:
                std::memcpy(step.src, sources, sizeof(sources));
                Emit(step, ROUTINE_CRS, bSaturate, false, bAliased);
                break;
            case D3DSIO_NRM:
                Normalize(step, sources[0], bSaturate);
                break;
            case D3DSIO_TEX:
                if (!Texture(dwInstruction, step, p[1], p[2], bSaturate))
                    return false;
                break;
            default:
                return Fail("unsupported instruction");
            }
        }
        MarkWritten(step);
        return true;
    }

    bool Matrix(const MatrixOp& op, const PlanStep& dest, const uint16_t (&vector)[4], bool bSaturate, bool bAliased)
    {
        DWORD dwMatrix = m_pParams[2];
        if (ShaderRegisterNumber(dwMatrix) + op.nRows > Limit(ShaderRegisterType(dwMatrix)))
            return Fail("matrix rows out of range");
        PlanStep copy;
        for (unsigned k = 0; k < dest.nComponents; ++k)
        {
            int nRow = dest.comps[k];
            if (nRow >= op.nRows)
                continue;
            PlanStep row;
            row.nComponents = 1;
            row.comps[0] = (uint8_t)nRow;
            row.dst[0] = bAliased ? (uint16_t)(m_scratch + nRow) : dest.dst[k];
            std::memcpy(row.src[0], vector, sizeof(vector));
            DWORD dwRow = (dwMatrix & ~D3DSP_REGNUM_MASK) | (ShaderRegisterNumber(dwMatrix) + nRow);
            if (!Source(dwRow, row.src[1], row.negate[1]))
                return false;
            row.negate[0] = dest.negate[0];
            row.pfnRun = GetShaderRoutine(op.nColumns == 4 ? ROUTINE_DP4 : ROUTINE_DP3, bSaturate);
            m_plan.steps.push_back(row);
            copy.comps[copy.nComponents] = (uint8_t)nRow;
            copy.src[0][copy.nComponents] = row.dst[0];
            copy.dst[copy.nComponents++] = dest.dst[k];
        }
        if (bAliased && copy.nComponents)
        {
            copy.pfnRun = GetShaderRoutine(ROUTINE_MOV, false);
            m_plan.steps.push_back(copy);
        }
        return true;
    }

    // nrm: one step for rsq(v.v) into a scratch slot, then a component-wise multiply.
    void Normalize(PlanStep step, const uint16_t (&vector)[4], bool bSaturate)
    {
        PlanStep length;
        length.nComponents = 1;
        length.dst[0] = (uint16_t)(m_scratch + 4);
        std::memcpy(length.src[0], vector, sizeof(vector));
        length.pfnRun = GetShaderRoutine(ROUTINE_DOT3_RSQ, false);
        m_plan.steps.push_back(length);
        for (unsigned k = 0; k < step.nComponents; ++k)
        {
            step.src[0][k] = vector[step.comps[k]];
            step.src[1][k] = length.dst[0];
        }
        step.negate[1] = 1.0f;
        Emit(step, ROUTINE_MUL, bSaturate, true, false);
    }

    bool Texture(DWORD dwInstruction, PlanStep& step, DWORD dwCoord, DWORD dwSampler, bool bSaturate)
    {
        if (!m_plan.bPixel || step.nComponents != 4 || ShaderRegisterType(m_pParams[0]) != D3DSPR_TEMP)
            return Fail("texld writes a whole temporary register of a pixel program");
        if (!CheckParam(dwSampler) || ShaderRegisterType(dwSampler) != D3DSPR_SAMPLER)
            return Fail("texld reads a sampler register");
        DWORD dwStage = ShaderRegisterNumber(dwSampler);
        if (!m_plan.dwSamplerTypes[dwStage])
            return Fail("texld reads an undeclared sampler");
        uint16_t coord[4];
        float fNegate;
        if (!Source(dwCoord, coord, fNegate) || fNegate != 1.0f)
            return false;
        step.nStage = (uint8_t)dwStage;
        std::memcpy(step.src[0], coord, sizeof(coord));
        if (dwInstruction & D3DSI_TEXLD_PROJECT)
        {
            PlanStep project;
            project.nComponents = 3;
            for (int c = 0; c < 3; ++c)
            {
                project.comps[c] = (uint8_t)c;
                project.dst[c] = (uint16_t)(m_scratch + 5 + c);
                step.src[0][c] = project.dst[c];
            }
            std::memcpy(project.src[0], coord, sizeof(coord));
            project.pfnRun = GetShaderRoutine(ROUTINE_PROJECT, false);
            m_plan.steps.push_back(project);
        }
        step.bBias = (dwInstruction & D3DSI_TEXLD_BIAS) != 0;
        Emit(step, ROUTINE_TEXLD, bSaturate, false, SameRegister(m_pParams[0], dwCoord));
        return true;
    }

    bool Declaration(DWORD dwDecl, DWORD dwRegister)
    {
        if (!CheckParam(dwRegister))
            return false;
        DWORD dwType = ShaderRegisterType(dwRegister);
        DWORD dwNumber = ShaderRegisterNumber(dwRegister);
        if (dwType == D3DSPR_SAMPLER)
        {
            m_plan.dwSamplerTypes[dwNumber] = dwDecl & D3DSP_TEXTURETYPE_MASK;
            return true;
        }
        if (!IsInputType(dwType))
            return Fail("only inputs and samplers are declared");
        m_usages[dwNumber] = (dwDecl & D3DSP_DCL_USAGE_MASK) | (dwDecl & D3DSP_DCL_USAGEINDEX_MASK);
        Base(dwType, dwNumber);
        return true;
    }

    // Temporaries read before any write read 0; output components never written take the
    // value a later stage sees for an unwritten output (colour 1, everything else 0).
    void FinishFills()
    {
        // Input components nothing reads need not be filled.
        for (PlanRegister& reg : m_plan.inputs)
            for (int c = 0; c < 4; ++c)
                if (!m_read[reg.slot[c]])
                    reg.slot[c] = NO_SLOT;
        for (const auto& [slot, bRead] : m_readBeforeWrite)
            if (bRead)
                m_plan.fills.push_back({slot, 0.0f});
        for (const PlanRegister& reg : m_plan.outputs)
            for (int c = 0; c < 4; ++c)
                if (!m_written[reg.slot[c]])
                    m_plan.fills.push_back({reg.slot[c], reg.dwType == D3DSPR_ATTROUT ? 1.0f : 0.0f});
    }

    ShaderPlan& m_plan;
    std::string& m_strError;
    bool m_bVertex11 = false;
    unsigned m_nSlots = 0;
    uint16_t m_scratch = 0;    // 0-3 an aliased result, 4 the nrm length, 5-7 texldp coordinates
    const DWORD* m_pParams = nullptr;
    std::map<std::pair<DWORD, DWORD>, uint16_t> m_bases;
    std::map<DWORD, DWORD> m_usages;
    std::map<uint16_t, bool> m_written;
    std::map<uint16_t, bool> m_readBeforeWrite;
    std::map<uint16_t, bool> m_read;
};
}

bool BuildShaderPlan(const DWORD* pTokens, size_t nTokens, ShaderPlan& plan, std::string& strError)
{
    static std::atomic<uint64_t> s_nLastSerial{0};
    plan = ShaderPlan();
    plan.nSerial = ++s_nLastSerial;
    strError.clear();
    return PlanBuilder(plan, strError).Build(pTokens, nTokens);
}
