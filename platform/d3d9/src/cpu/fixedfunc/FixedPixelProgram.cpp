#include "cpu/fixedfunc/FixedPixelProgram.h"

#include "cpu/fixedfunc/ShaderTokens.h"
#include "cpu/formats/Formats.h"

namespace
{
constexpr DWORD C_NUMBERS = 0;    // (0, 1, 0.5, 4)
constexpr DWORD C_FACTOR = 1;     // TEXTUREFACTOR
constexpr DWORD C_TWO = 2;        // (2, 2, 2, 2)

// Temporaries: the running colour, the stage's texel, its result, its arguments and two more.
constexpr DWORD R_CURRENT = 0, R_TEXEL = 1, R_RESULT = 2, R_ARGS = 3, R_T = 6, R_U = 7;
constexpr DWORD COLOR_MASK = 0x7, ALPHA_MASK = 0x8;

DWORD Temp(DWORD n, DWORD dwMask = 0xF, bool bSaturate = false) { return TokenDst(D3DSPR_TEMP, n, dwMask, bSaturate); }
DWORD ReadTemp(DWORD n, const char* szSwizzle = "xyzw") { return TokenSrc(D3DSPR_TEMP, n, szSwizzle); }
DWORD Const(DWORD n, const char* szSwizzle = "xyzw") { return TokenSrc(D3DSPR_CONST, n, szSwizzle); }

class StageWriter
{
public:
    StageWriter(ShaderTokenWriter& w, const FixedStageKey& stage) : m_w(w), m_stage(stage) {}

    void Write()
    {
        Operate(m_stage.colorOp, m_stage.colorArgs, COLOR_MASK);
        if (m_stage.alphaOp == D3DTOP_DISABLE)
            m_w.Op(D3DSIO_MOV, Temp(R_RESULT, ALPHA_MASK), {ReadTemp(R_CURRENT)});
        else
            Operate(m_stage.alphaOp, m_stage.alphaArgs, ALPHA_MASK);
        m_w.Op(D3DSIO_MOV, Temp(R_CURRENT), {ReadTemp(R_RESULT)});
    }

private:
    // The source an argument reads; COMPLEMENT is computed into the argument's temporary.
    DWORD Argument(uint8_t nArg, int nIndex)
    {
        DWORD dwSource;
        switch (nArg & D3DTA_SELECTMASK)
        {
        case D3DTA_CURRENT: dwSource = ReadTemp(R_CURRENT); break;
        case D3DTA_TEXTURE: dwSource = m_stage.nTextureType ? ReadTemp(R_TEXEL) : Const(C_NUMBERS, "y"); break;
        case D3DTA_TFACTOR: dwSource = Const(C_FACTOR); break;
        case D3DTA_SPECULAR: dwSource = TokenSrc(D3DSPR_INPUT, 1); break;
        default: dwSource = TokenSrc(D3DSPR_INPUT, 0); break;
        }
        if (nArg & D3DTA_ALPHAREPLICATE)
            dwSource = TokenSwizzle(dwSource, "w");
        if (!(nArg & D3DTA_COMPLEMENT))
            return dwSource;
        m_w.Op(D3DSIO_SUB, Temp(R_ARGS + nIndex), {Const(C_NUMBERS, "y"), dwSource});
        return ReadTemp(R_ARGS + nIndex);
    }

    // One operation into the masked components of R_RESULT, saturated.
    void Operate(uint8_t nOp, const uint8_t (&args)[3], DWORD dwMask)
    {
        const DWORD a1 = Argument(args[1], 1), a2 = Argument(args[2], 2);
        const DWORD dwOut = Temp(R_RESULT, dwMask, true);
        switch (nOp)
        {
        case D3DTOP_SELECTARG2: m_w.Op(D3DSIO_MOV, dwOut, {a2}); break;
        case D3DTOP_MODULATE: m_w.Op(D3DSIO_MUL, dwOut, {a1, a2}); break;
        case D3DTOP_MODULATE2X:
        case D3DTOP_MODULATE4X:
            m_w.Op(D3DSIO_MUL, Temp(R_T), {nOp == D3DTOP_MODULATE2X ? Const(C_TWO) : Const(C_NUMBERS, "w"), a1});
            m_w.Op(D3DSIO_MUL, dwOut, {ReadTemp(R_T), a2});
            break;
        case D3DTOP_ADD: m_w.Op(D3DSIO_ADD, dwOut, {a1, a2}); break;
        case D3DTOP_ADDSIGNED:
            m_w.Op(D3DSIO_ADD, Temp(R_T), {a1, a2});
            m_w.Op(D3DSIO_SUB, dwOut, {ReadTemp(R_T), Const(C_NUMBERS, "z")});
            break;
        case D3DTOP_SUBTRACT: m_w.Op(D3DSIO_SUB, dwOut, {a1, a2}); break;
        case D3DTOP_BLENDTEXTUREALPHA:
        {
            // a1·α + a2·(1 − α), α the stage's texel alpha.
            const DWORD dwAlpha = m_stage.nTextureType ? ReadTemp(R_TEXEL, "w") : Const(C_NUMBERS, "y");
            m_w.Op(D3DSIO_MUL, Temp(R_T), {a1, dwAlpha});
            m_w.Op(D3DSIO_SUB, Temp(R_U), {Const(C_NUMBERS, "y"), dwAlpha});
            m_w.Op(D3DSIO_MAD, dwOut, {a2, ReadTemp(R_U), ReadTemp(R_T)});
            break;
        }
        case D3DTOP_LERP:
        {
            // a0·a1 + (1 − a0)·a2.
            const DWORD a0 = Argument(args[0], 0);
            m_w.Op(D3DSIO_SUB, Temp(R_U), {Const(C_NUMBERS, "y"), a0});
            m_w.Op(D3DSIO_MUL, Temp(R_U), {ReadTemp(R_U), a2});
            m_w.Op(D3DSIO_MAD, dwOut, {a0, a1, ReadTemp(R_U)});
            break;
        }
        case D3DTOP_MULTIPLYADD: m_w.Op(D3DSIO_MAD, dwOut, {a1, a2, Argument(args[0], 0)}); break;
        case D3DTOP_DOTPRODUCT3:
            // 4·((a1 − ½)·(a2 − ½)) over r, g, b, into every written component.
            m_w.Op(D3DSIO_SUB, Temp(R_T), {a1, Const(C_NUMBERS, "z")});
            m_w.Op(D3DSIO_SUB, Temp(R_U), {a2, Const(C_NUMBERS, "z")});
            m_w.Op(D3DSIO_DP3, Temp(R_T, 0x1), {ReadTemp(R_T), ReadTemp(R_U)});
            m_w.Op(D3DSIO_MUL, dwOut, {ReadTemp(R_T, "x"), Const(C_NUMBERS, "w")});
            break;
        default:   // SELECTARG1 and the operations the layer does not provide
            m_w.Op(D3DSIO_MOV, dwOut, {a1});
            break;
        }
    }

    ShaderTokenWriter& m_w;
    const FixedStageKey& m_stage;
};

DWORD SamplerType(uint8_t nTextureType)
{
    switch (nTextureType)
    {
    case D3DRTYPE_CUBETEXTURE: return D3DSTT_CUBE;
    case D3DRTYPE_VOLUMETEXTURE: return D3DSTT_VOLUME;
    default: return D3DSTT_2D;
    }
}
}

FixedPixelKey MakeFixedPixelKey(const DeviceState& state, const DrawResources& resources)
{
    FixedPixelKey key;
    for (unsigned i = 0; i < STAGE_COUNT; ++i)
    {
        const DWORD* s = state.stageStates[i];
        if (s[D3DTSS_COLOROP] == D3DTOP_DISABLE)
            break;
        FixedStageKey& stage = key.stages[key.nStages++];
        stage.colorOp = (uint8_t)s[D3DTSS_COLOROP];
        stage.alphaOp = (uint8_t)s[D3DTSS_ALPHAOP];
        const DWORD colorArgs[3] = {s[D3DTSS_COLORARG0], s[D3DTSS_COLORARG1], s[D3DTSS_COLORARG2]};
        const DWORD alphaArgs[3] = {s[D3DTSS_ALPHAARG0], s[D3DTSS_ALPHAARG1], s[D3DTSS_ALPHAARG2]};
        for (int a = 0; a < 3; ++a)
        {
            stage.colorArgs[a] = (uint8_t)colorArgs[a];
            stage.alphaArgs[a] = (uint8_t)alphaArgs[a];
        }
        stage.nTexcoord = (uint8_t)(s[D3DTSS_TEXCOORDINDEX] & 7);
        if (!resources.samplers[i].images.empty())
            stage.nTextureType = (uint8_t)resources.samplers[i].nType;
    }
    return key;
}

void WriteFixedPixelProgram(const FixedPixelKey& key, std::vector<DWORD>& tokens)
{
    ShaderTokenWriter w(tokens, D3DPS_VERSION(2, 0));
    w.Dcl(0, TokenDst(D3DSPR_INPUT, 0));
    w.Dcl(0, TokenDst(D3DSPR_INPUT, 1));
    for (unsigned i = 0; i < key.nStages; ++i)
        if (key.stages[i].nTextureType)
        {
            w.Dcl(0, TokenDst(D3DSPR_TEXTURE, key.stages[i].nTexcoord));
            w.Dcl(SamplerType(key.stages[i].nTextureType), TokenDst(D3DSPR_SAMPLER, i));
        }
    // The cascade starts from the diffuse colour.
    w.Op(D3DSIO_MOV, Temp(R_CURRENT), {TokenSrc(D3DSPR_INPUT, 0)});
    for (unsigned i = 0; i < key.nStages; ++i)
    {
        const FixedStageKey& stage = key.stages[i];
        if (stage.nTextureType)
            w.Op(D3DSIO_TEX, Temp(R_TEXEL), {TokenSrc(D3DSPR_TEXTURE, stage.nTexcoord), TokenSrc(D3DSPR_SAMPLER, i)});
        StageWriter(w, stage).Write();
    }
    w.Op(D3DSIO_MOV, TokenDst(D3DSPR_COLOROUT, 0), {ReadTemp(R_CURRENT)});
    w.End();
}

void FillFixedPixelConstants(const DeviceState& state, float constants[][4])
{
    const float numbers[4] = {0.0f, 1.0f, 0.5f, 4.0f};
    for (int c = 0; c < 4; ++c)
    {
        constants[C_NUMBERS][c] = numbers[c];
        constants[C_TWO][c] = 2.0f;
    }
    ColorToFloat(state.renderStates[D3DRS_TEXTUREFACTOR], constants[C_FACTOR]);
}
