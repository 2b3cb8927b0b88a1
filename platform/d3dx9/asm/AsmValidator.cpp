// The rules a program must meet beyond its syntax: declarations before use, the texture and
// output forms of ps_2_0, its swizzles, slot budgets, dependent-read levels and (strict) read ports.
#include "AsmProgram.h"
#include "ShaderAssembler.h"

#include <algorithm>
#include <array>
#include <set>

namespace
{
constexpr int ARITHMETIC_LIMIT_PS20 = 64;
constexpr int TEXTURE_LIMIT_PS20 = 32;
constexpr int SLOT_LIMIT_VS20 = 256;
constexpr int SLOT_LIMIT_VS11 = 128;
// A texture read may depend on at most three earlier levels of texture reads.
constexpr int DEPENDENT_LEVEL_LIMIT = 4;
constexpr int TEMP_COUNT = 12;

const char* RegisterPrefix(DWORD dwType, bool bPixel)
{
    switch (dwType)
    {
    case D3DSPR_TEMP: return "r";
    case D3DSPR_INPUT: return "v";
    case D3DSPR_CONST: return "c";
    case D3DSPR_TEXTURE: return bPixel ? "t" : "a";
    case D3DSPR_SAMPLER: return "s";
    case D3DSPR_COLOROUT: return "oC";
    case D3DSPR_DEPTHOUT: return "oDepth";
    case D3DSPR_RASTOUT: return "oPos";
    case D3DSPR_ATTROUT: return "oD";
    case D3DSPR_TEXCRDOUT: return "oT";
    default: return "?";
    }
}

bool IsReplicate(DWORD dwParam)
{
    DWORD c = ShaderSwizzle(dwParam, 0);
    return ShaderSwizzle(dwParam, 1) == c && ShaderSwizzle(dwParam, 2) == c && ShaderSwizzle(dwParam, 3) == c;
}

// ps_2_0 reads sources unswizzled, replicated, or rotated by one of three fixed patterns.
bool IsPs20Swizzle(DWORD dwParam)
{
    static constexpr DWORD s_Allowed[] = {
        D3DSP_NOSWIZZLE,
        (1 | (2 << 2) | (0 << 4) | (3 << 6)) << D3DSP_SWIZZLE_SHIFT,   // .yzxw
        (2 | (0 << 2) | (1 << 4) | (3 << 6)) << D3DSP_SWIZZLE_SHIFT,   // .zxyw
        (3 | (2 << 2) | (1 << 4) | (0 << 6)) << D3DSP_SWIZZLE_SHIFT,   // .wzyx
    };
    DWORD dwSwizzle = dwParam & D3DSP_SWIZZLE_MASK;
    return IsReplicate(dwParam) || std::find(std::begin(s_Allowed), std::end(s_Allowed), dwSwizzle) != std::end(s_Allowed);
}

// Components (bit mask) of source nSource that result component c reads.
DWORD ReadComponents(const AsmStatement& st, int nSource, int c)
{
    DWORD dwParam = st.params[1 + nSource];
    auto swizzled = [&](int nFirst, int nCount) {
        DWORD dwMask = 0;
        for (int k = nFirst; k < nFirst + nCount; ++k)
            dwMask |= 1u << ShaderSwizzle(dwParam, k);
        return dwMask;
    };
    switch (st.pInfo->opClass)
    {
    case ASM_OP_COMPONENTWISE: return swizzled(c, 1);
    case ASM_OP_SCALAR: return swizzled(0, 1);   // a scalar source without swizzle reads x
    case ASM_OP_TEXTURE: return 0xF;
    case ASM_OP_VECTOR:
        switch (st.pInfo->dwOpcode)
        {
        case D3DSIO_DP4:
        case D3DSIO_M4x4:
        case D3DSIO_M4x3: return swizzled(0, 4);
        case D3DSIO_DP2ADD: return nSource == 2 ? swizzled(0, 1) : swizzled(0, 2);
        case D3DSIO_NRM: return swizzled(0, 3) | swizzled(c, 1);
        default: return swizzled(0, 3);
        }
    default: return 0;
    }
}

class Validator
{
public:
    Validator(const AsmProgram& program, const ShaderAssemblyOptions& options, ShaderAssemblyStats& stats,
              std::vector<std::string>& errors)
        : m_program(program), m_options(options), m_stats(stats), m_errors(errors),
          m_bPixel(program.version == ASM_PS_2_0)
    {
        for (auto& reg : m_tempLevels)
            reg.fill(-1);
    }

    void Run()
    {
        for (const AsmStatement& st : m_program.statements)
        {
            m_nLine = st.nLine;
            DWORD dwOpcode = ShaderOpcode(st.dwInstruction);
            if (dwOpcode == D3DSIO_DCL)
                Declare(st);
            else if (dwOpcode != D3DSIO_DEF)
                Check(st);
        }
        for (int n = 1; n < 4; ++n)
            if (m_colorLines[n] && !m_colorLines[n - 1])
                AddAsmError(m_errors, m_colorLines[n], "oC%d is written but oC%d is not", n, n - 1);
        m_stats.nTemporaries = (int)m_tempsWritten.size();
    }

private:
    void Error(const char* szMessage) { AddAsmError(m_errors, m_nLine, "%s", szMessage); }

    std::string Name(DWORD dwParam) const
    {
        DWORD dwType = ShaderRegisterType(dwParam);
        std::string s = RegisterPrefix(dwType, m_bPixel);
        if (dwType != D3DSPR_DEPTHOUT && dwType != D3DSPR_RASTOUT)
            s += std::to_string(ShaderRegisterNumber(dwParam));
        return s;
    }

    void Declare(const AsmStatement& st)
    {
        DWORD dwRegister = st.params[1];
        DWORD dwType = ShaderRegisterType(dwRegister);
        DWORD n = ShaderRegisterNumber(dwRegister);
        DWORD& dwSlot = dwType == D3DSPR_SAMPLER ? m_samplerTypes[n]
                        : dwType == D3DSPR_TEXTURE ? m_textureMasks[n]
                                                   : m_inputMasks[n];
        if (dwSlot)
        {
            AddAsmError(m_errors, m_nLine, "%s is declared twice", Name(dwRegister).c_str());
            return;
        }
        dwSlot = dwType == D3DSPR_SAMPLER ? (st.params[0] & D3DSP_TEXTURETYPE_MASK) : ShaderWriteMask(dwRegister);
    }

    DWORD DeclaredMask(DWORD dwParam) const
    {
        DWORD n = ShaderRegisterNumber(dwParam);
        switch (ShaderRegisterType(dwParam))
        {
        case D3DSPR_TEXTURE: return m_bPixel ? m_textureMasks[n] : 0xF;
        case D3DSPR_INPUT: return m_inputMasks[n];
        default: return 0xF;
        }
    }

    void Check(const AsmStatement& st)
    {
        const AsmOpcodeInfo& info = *st.pInfo;
        CountSlots(info);
        if (info.opClass == ASM_OP_NOP)
            return;
        DWORD dwDest = st.params[0];
        size_t nSources = st.params.size() - 1;
        bool bSourcesOk = true;
        for (size_t k = 0; k < nSources; ++k)
            bSourcesOk &= CheckSource(st, (int)k);
        if (info.opClass == ASM_OP_TEXTURE)
            CheckTexture(st);
        else if (info.opClass == ASM_OP_KILL)
            CheckKill(st);
        else
        {
            DWORD dwType = ShaderRegisterType(dwDest);
            if (dwType == D3DSPR_COLOROUT || dwType == D3DSPR_DEPTHOUT)
                CheckOutput(st);
        }
        if (m_options.bStrict)
            CheckReadPorts(st);
        if (bSourcesOk && m_bPixel)
            TrackLevels(st);
        if (ShaderRegisterType(dwDest) == D3DSPR_TEMP && info.opClass != ASM_OP_KILL)
            m_tempsWritten.insert(ShaderRegisterNumber(dwDest));
    }

    void CountSlots(const AsmOpcodeInfo& info)
    {
        int nSlots = info.nSlots[m_program.version];
        if (!m_bPixel)
        {
            int nLimit = m_program.version == ASM_VS_1_1 ? SLOT_LIMIT_VS11 : SLOT_LIMIT_VS20;
            m_stats.nArithmeticSlots += nSlots;
            if (m_stats.nArithmeticSlots > nLimit && m_stats.nArithmeticSlots - nSlots <= nLimit)
                AddAsmError(m_errors, m_nLine, "too many instruction slots: %d (%s allows %d)", m_stats.nArithmeticSlots,
                            AsmVersionName(m_program.version), nLimit);
            return;
        }
        bool bTexture = info.opClass == ASM_OP_TEXTURE || info.opClass == ASM_OP_KILL;
        int& nCount = bTexture ? m_stats.nTextureSlots : m_stats.nArithmeticSlots;
        int nLimit = bTexture ? TEXTURE_LIMIT_PS20 : ARITHMETIC_LIMIT_PS20;
        nCount += nSlots;
        if (nCount > nLimit && nCount - nSlots <= nLimit)
            AddAsmError(m_errors, m_nLine, "too many %s instruction slots: %d (ps_2_0 allows %d)",
                        bTexture ? "texture" : "arithmetic", nCount, nLimit);
    }

    bool CheckSource(const AsmStatement& st, int nSource)
    {
        DWORD dwParam = st.params[1 + nSource];
        DWORD dwType = ShaderRegisterType(dwParam);
        std::string strName = Name(dwParam);
        bool bTextureSampler = st.pInfo->opClass == ASM_OP_TEXTURE && nSource == 1;
        if ((dwType == D3DSPR_SAMPLER) != bTextureSampler)
        {
            AddAsmError(m_errors, m_nLine, bTextureSampler ? "texld reads its texture from a sampler s#, not %s"
                                                           : "%s can only be read by texld", strName.c_str());
            return false;
        }
        if (dwType == D3DSPR_SAMPLER)
            return true;
        if ((dwType == D3DSPR_TEXTURE || dwType == D3DSPR_INPUT) && !DeclaredMask(dwParam))
        {
            AddAsmError(m_errors, m_nLine, "%s is read before it is declared", strName.c_str());
            return false;
        }
        if (m_bPixel)
        {
            if (!IsPs20Swizzle(dwParam))
            {
                AddAsmError(m_errors, m_nLine, "the swizzle of %s is not allowed in ps_2_0 (only .xyzw, .x, .y, .z, "
                            ".w, .yzxw, .zxyw, .wzyx)", strName.c_str());
                return false;
            }
            bool bScalar = st.pInfo->opClass == ASM_OP_SCALAR || (st.pInfo->dwOpcode == D3DSIO_DP2ADD && nSource == 2);
            if (bScalar && !IsReplicate(dwParam))
            {
                AddAsmError(m_errors, m_nLine, "'%s' needs a replicate swizzle (.x, .y, .z or .w) on %s",
                            st.pInfo->szName, strName.c_str());
                return false;
            }
        }
        return true;
    }

    void CheckTexture(const AsmStatement& st)
    {
        DWORD dwDest = st.params[0];
        DWORD dwCoord = st.params[1];
        DWORD dwSampler = st.params[2];
        if (ShaderRegisterType(dwDest) != D3DSPR_TEMP || ShaderWriteMask(dwDest) != 0xF ||
            (dwDest & D3DSPDM_SATURATE))
            Error("texld writes a temporary register r# with a full write mask and no _sat");
        DWORD dwCoordType = ShaderRegisterType(dwCoord);
        if ((dwCoordType != D3DSPR_TEXTURE && dwCoordType != D3DSPR_TEMP) ||
            (dwCoord & D3DSP_SWIZZLE_MASK) != D3DSP_NOSWIZZLE || ShaderSourceModifier(dwCoord) != D3DSPSM_NONE)
            Error("texld reads its coordinates from t# or r# without swizzle or modifier");
        if (ShaderRegisterType(dwSampler) != D3DSPR_SAMPLER ||
            (dwSampler & (D3DSP_SWIZZLE_MASK | D3DSP_SRCMOD_MASK)) != D3DSP_NOSWIZZLE)
            return;
        DWORD dwSamplerType = m_samplerTypes[ShaderRegisterNumber(dwSampler)];
        if (!dwSamplerType)
        {
            AddAsmError(m_errors, m_nLine, "sampler %s is used before it is declared", Name(dwSampler).c_str());
            return;
        }
        if (dwCoordType != D3DSPR_TEXTURE)
            return;
        DWORD dwNeeded = dwSamplerType == D3DSTT_2D ? 0x3u : 0x7u;
        if (st.dwInstruction & (D3DSI_TEXLD_PROJECT | D3DSI_TEXLD_BIAS))
            dwNeeded |= 0x8u;
        if ((DeclaredMask(dwCoord) & dwNeeded) != dwNeeded)
            AddAsmError(m_errors, m_nLine, "%s does not declare the components that sampler %s (%s) needs",
                        Name(dwCoord).c_str(), Name(dwSampler).c_str(),
                        dwSamplerType == D3DSTT_2D ? "2d" : dwSamplerType == D3DSTT_CUBE ? "cube" : "volume");
    }

    void CheckKill(const AsmStatement& st)
    {
        DWORD dwParam = st.params[0];
        DWORD dwType = ShaderRegisterType(dwParam);
        if (dwType != D3DSPR_TEXTURE && dwType != D3DSPR_TEMP)
            Error("texkill tests a t# or r# register");
        else if (dwType == D3DSPR_TEXTURE && !DeclaredMask(dwParam))
            AddAsmError(m_errors, m_nLine, "%s is read before it is declared", Name(dwParam).c_str());
    }

    void CheckOutput(const AsmStatement& st)
    {
        DWORD dwDest = st.params[0];
        bool bColor = ShaderRegisterType(dwDest) == D3DSPR_COLOROUT;
        std::string strName = Name(dwDest);
        if (st.pInfo->dwOpcode != D3DSIO_MOV || (dwDest & D3DSPDM_SATURATE))
            AddAsmError(m_errors, m_nLine, "%s is written only by mov, without _sat", strName.c_str());
        else if (bColor && ShaderWriteMask(dwDest) != 0xF)
            AddAsmError(m_errors, m_nLine, "%s is written with a full write mask", strName.c_str());
        else if (!bColor && !IsReplicate(st.params[1]))
            Error("oDepth is written from a replicate swizzle (.x, .y, .z or .w)");
        int& nWritten = bColor ? m_colorLines[ShaderRegisterNumber(dwDest)] : m_nDepthLine;
        if (nWritten)
            AddAsmError(m_errors, m_nLine, "%s is written more than once", strName.c_str());
        else
            nWritten = m_nLine;
    }

    void CheckReadPorts(const AsmStatement& st)
    {
        struct Port
        {
            DWORD dwType;
            int nPixelLimit;
            int nVertexLimit;
        };
        static constexpr Port s_Ports[] = {
            {D3DSPR_CONST, 2, 1}, {D3DSPR_TEXTURE, 1, 99}, {D3DSPR_INPUT, 1, 99}, {D3DSPR_TEMP, 3, 99}};
        for (const Port& port : s_Ports)
        {
            std::set<DWORD> registers;
            for (size_t k = 1; k < st.params.size(); ++k)
                if (ShaderRegisterType(st.params[k]) == port.dwType)
                    registers.insert(ShaderRegisterNumber(st.params[k]));
            int nLimit = m_bPixel ? port.nPixelLimit : port.nVertexLimit;
            if ((int)registers.size() > nLimit)
                AddAsmError(m_errors, m_nLine, "the instruction reads %zu different %s# registers (%s allows %d)",
                            registers.size(), RegisterPrefix(port.dwType, m_bPixel), AsmVersionName(m_program.version),
                            nLimit);
        }
    }

    // Level of the texture reads a temporary component's value came from: -1 none, 0 a read
    // from t# coordinates, n a read whose coordinates came from a level n-1 read.
    int SourceLevel(const AsmStatement& st, int nSource, DWORD dwComponents) const
    {
        DWORD dwParam = st.params[1 + nSource];
        if (ShaderRegisterType(dwParam) != D3DSPR_TEMP)
            return -1;
        int nLevel = -1;
        for (int c = 0; c < 4; ++c)
            if (dwComponents & (1u << c))
                nLevel = std::max(nLevel, m_tempLevels[ShaderRegisterNumber(dwParam)][c]);
        return nLevel;
    }

    void TrackLevels(const AsmStatement& st)
    {
        DWORD dwDest = st.params[0];
        if (ShaderRegisterType(dwDest) != D3DSPR_TEMP || st.pInfo->opClass == ASM_OP_KILL)
            return;
        auto& dest = m_tempLevels[ShaderRegisterNumber(dwDest)];
        bool bDestWritten = m_tempsWritten.count(ShaderRegisterNumber(dwDest)) != 0;
        if (st.pInfo->opClass == ASM_OP_TEXTURE)
        {
            // A read is dependent when its coordinates are a temporary or its destination held
            // a value before; it then sits one level above whatever that value came from.
            int nOrder = ShaderRegisterType(st.params[1]) == D3DSPR_TEMP || bDestWritten ? 1 : 0;
            nOrder = std::max(nOrder, 1 + SourceLevel(st, 0, 0xF));
            nOrder = std::max(nOrder, 1 + *std::max_element(dest.begin(), dest.end()));
            m_stats.nDependentLevels = std::max(m_stats.nDependentLevels, nOrder + 1);
            if (nOrder + 1 > DEPENDENT_LEVEL_LIMIT)
                AddAsmError(m_errors, m_nLine, "texture read of dependent level %d (ps_2_0 allows %d)", nOrder + 1,
                            DEPENDENT_LEVEL_LIMIT);
            dest.fill(nOrder);
            return;
        }
        std::array<int, 4> result = dest;
        for (int c = 0; c < 4; ++c)
        {
            if (!(ShaderWriteMask(dwDest) & (1u << c)))
                continue;
            int nLevel = -1;
            for (size_t k = 0; k + 1 < st.params.size(); ++k)
                nLevel = std::max(nLevel, SourceLevel(st, (int)k, ReadComponents(st, (int)k, c)));
            result[c] = nLevel;
        }
        dest = result;
    }

    const AsmProgram& m_program;
    const ShaderAssemblyOptions& m_options;
    ShaderAssemblyStats& m_stats;
    std::vector<std::string>& m_errors;
    bool m_bPixel;
    int m_nLine = 0;
    DWORD m_samplerTypes[16] = {};
    DWORD m_textureMasks[8] = {};
    DWORD m_inputMasks[16] = {};
    int m_colorLines[4] = {};
    int m_nDepthLine = 0;
    std::set<DWORD> m_tempsWritten;
    std::array<std::array<int, 4>, TEMP_COUNT> m_tempLevels;
};
}

bool ValidateShaderAssembly(const AsmProgram& program, const ShaderAssemblyOptions& options,
                            ShaderAssemblyStats& stats, std::vector<std::string>& errors)
{
    size_t nErrors = errors.size();
    Validator(program, options, stats, errors).Run();
    return errors.size() == nErrors;
}
