#pragma once
// The shader instruction form: Direct3D 9's public DWORD token stream, written from the public
// documentation of the token format. The assembler (platform/d3dx9/asm) writes it,
// CreateVertexShader/CreatePixelShader read it, and any later back end reads the same stream.
//
// A stream is: the version token, then instructions, then the end token 0x0000FFFF.
// An instruction is an instruction token (opcode in bits 0-15, control bits 16-23, for versions
// 2.0 and later the count of the tokens that follow in bits 24-27), then its parameter tokens:
// the destination first, then the sources. Comment blocks (opcode 0xFFFE) carry their length in
// bits 16-30 and are skipped by readers.
#include <d3d9types.h>

enum D3DSHADER_INSTRUCTION_OPCODE_TYPE
{
    D3DSIO_NOP = 0,
    D3DSIO_MOV,
    D3DSIO_ADD,
    D3DSIO_SUB,
    D3DSIO_MAD,
    D3DSIO_MUL,
    D3DSIO_RCP,
    D3DSIO_RSQ,
    D3DSIO_DP3,
    D3DSIO_DP4,
    D3DSIO_MIN,
    D3DSIO_MAX,
    D3DSIO_SLT,
    D3DSIO_SGE,
    D3DSIO_EXP,
    D3DSIO_LOG,
    D3DSIO_LIT,
    D3DSIO_DST,
    D3DSIO_LRP,
    D3DSIO_FRC,
    D3DSIO_M4x4,
    D3DSIO_M4x3,
    D3DSIO_M3x4,
    D3DSIO_M3x3,
    D3DSIO_M3x2,
    D3DSIO_CALL,
    D3DSIO_CALLNZ,
    D3DSIO_LOOP,
    D3DSIO_RET,
    D3DSIO_ENDLOOP,
    D3DSIO_LABEL,
    D3DSIO_DCL,
    D3DSIO_POW,
    D3DSIO_CRS,
    D3DSIO_SGN,
    D3DSIO_ABS,
    D3DSIO_NRM,
    D3DSIO_SINCOS,
    D3DSIO_REP,
    D3DSIO_ENDREP,
    D3DSIO_IF,
    D3DSIO_IFC,
    D3DSIO_ELSE,
    D3DSIO_ENDIF,
    D3DSIO_BREAK,
    D3DSIO_BREAKC,
    D3DSIO_MOVA,
    D3DSIO_DEFB,
    D3DSIO_DEFI,

    D3DSIO_TEXCOORD = 64,
    D3DSIO_TEXKILL,
    D3DSIO_TEX,
    D3DSIO_TEXBEM,
    D3DSIO_TEXBEML,
    D3DSIO_TEXREG2AR,
    D3DSIO_TEXREG2GB,
    D3DSIO_TEXM3x2PAD,
    D3DSIO_TEXM3x2TEX,
    D3DSIO_TEXM3x3PAD,
    D3DSIO_TEXM3x3TEX,
    D3DSIO_RESERVED0,
    D3DSIO_TEXM3x3SPEC,
    D3DSIO_TEXM3x3VSPEC,
    D3DSIO_EXPP,
    D3DSIO_LOGP,
    D3DSIO_CND,
    D3DSIO_DEF,
    D3DSIO_TEXREG2RGB,
    D3DSIO_TEXDP3TEX,
    D3DSIO_TEXM3x2DEPTH,
    D3DSIO_TEXDP3,
    D3DSIO_TEXM3x3,
    D3DSIO_TEXDEPTH,
    D3DSIO_CMP,
    D3DSIO_BEM,
    D3DSIO_DP2ADD,
    D3DSIO_DSX,
    D3DSIO_DSY,
    D3DSIO_TEXLDD,
    D3DSIO_SETP,
    D3DSIO_TEXLDL,
    D3DSIO_BREAKP,

    D3DSIO_PHASE = 0xFFFD,
    D3DSIO_COMMENT = 0xFFFE,
    D3DSIO_END = 0xFFFF,
};

enum D3DSHADER_PARAM_REGISTER_TYPE
{
    D3DSPR_TEMP = 0,
    D3DSPR_INPUT = 1,
    D3DSPR_CONST = 2,
    D3DSPR_ADDR = 3,
    D3DSPR_TEXTURE = 3,
    D3DSPR_RASTOUT = 4,
    D3DSPR_ATTROUT = 5,
    D3DSPR_TEXCRDOUT = 6,
    D3DSPR_OUTPUT = 6,
    D3DSPR_CONSTINT = 7,
    D3DSPR_COLOROUT = 8,
    D3DSPR_DEPTHOUT = 9,
    D3DSPR_SAMPLER = 10,
    D3DSPR_CONST2 = 11,
    D3DSPR_CONST3 = 12,
    D3DSPR_CONST4 = 13,
    D3DSPR_CONSTBOOL = 14,
    D3DSPR_LOOP = 15,
    D3DSPR_TEMPFLOAT16 = 16,
    D3DSPR_MISCTYPE = 17,
    D3DSPR_LABEL = 18,
    D3DSPR_PREDICATE = 19,
};

// Register numbers of D3DSPR_RASTOUT.
enum D3DVS_RASTOUT_OFFSETS
{
    D3DSRO_POSITION = 0,
    D3DSRO_FOG = 1,
    D3DSRO_POINT_SIZE = 2,
};

enum D3DSHADER_PARAM_SRCMOD_TYPE
{
    D3DSPSM_NONE = 0 << 24,
    D3DSPSM_NEG = 1 << 24,
    D3DSPSM_BIAS = 2 << 24,
    D3DSPSM_BIASNEG = 3 << 24,
    D3DSPSM_SIGN = 4 << 24,
    D3DSPSM_SIGNNEG = 5 << 24,
    D3DSPSM_COMP = 6 << 24,
    D3DSPSM_X2 = 7 << 24,
    D3DSPSM_X2NEG = 8 << 24,
    D3DSPSM_DZ = 9 << 24,
    D3DSPSM_DW = 10 << 24,
    D3DSPSM_ABS = 11 << 24,
    D3DSPSM_ABSNEG = 12 << 24,
    D3DSPSM_NOT = 13 << 24,
};

enum D3DSAMPLER_TEXTURE_TYPE
{
    D3DSTT_UNKNOWN = 0 << 27,
    D3DSTT_2D = 2 << 27,
    D3DSTT_CUBE = 3 << 27,
    D3DSTT_VOLUME = 4 << 27,
};

// Instruction token.
#define D3DSI_OPCODE_MASK 0x0000FFFF
#define D3DSI_INSTLENGTH_SHIFT 24
#define D3DSI_INSTLENGTH_MASK 0x0F000000
#define D3DSI_COMMENTSIZE_SHIFT 16
#define D3DSI_COMMENTSIZE_MASK 0x7FFF0000
#define D3DSHADER_INSTRUCTION_PREDICATED (1u << 28)
#define D3DSI_COISSUE 0x40000000
// Control bits of D3DSIO_TEX in versions 2.0 and later: texldp and texldb.
#define D3DSI_TEXLD_PROJECT (0x01 << 16)
#define D3DSI_TEXLD_BIAS (0x02 << 16)

// Parameter tokens (bit 31 always set).
#define D3DSP_REGNUM_MASK 0x000007FF
#define D3DSP_REGTYPE_SHIFT 28
#define D3DSP_REGTYPE_MASK 0x70000000
#define D3DSP_REGTYPE_SHIFT2 8
#define D3DSP_REGTYPE_MASK2 0x00001800
#define D3DSHADER_ADDRESSMODE_SHIFT 13
#define D3DSHADER_ADDRESSMODE_MASK (1 << 13)
#define D3DSHADER_ADDRMODE_RELATIVE (1 << 13)
// Destination parameter.
#define D3DSP_WRITEMASK_0 0x00010000
#define D3DSP_WRITEMASK_1 0x00020000
#define D3DSP_WRITEMASK_2 0x00040000
#define D3DSP_WRITEMASK_3 0x00080000
#define D3DSP_WRITEMASK_ALL 0x000F0000
#define D3DSP_DSTMOD_SHIFT 20
#define D3DSP_DSTMOD_MASK 0x00F00000
#define D3DSPDM_NONE (0 << 20)
#define D3DSPDM_SATURATE (1 << 20)
#define D3DSPDM_PARTIALPRECISION (2 << 20)
#define D3DSPDM_MSAMPCENTROID (4 << 20)
#define D3DSP_DSTSHIFT_SHIFT 24
#define D3DSP_DSTSHIFT_MASK 0x0F000000
// Source parameter: two bits per component, x in bits 16-17 ... w in bits 22-23.
#define D3DSP_SWIZZLE_SHIFT 16
#define D3DSP_SWIZZLE_MASK 0x00FF0000
#define D3DSP_NOSWIZZLE ((0 | (1 << 2) | (2 << 4) | (3 << 6)) << D3DSP_SWIZZLE_SHIFT)
#define D3DSP_SRCMOD_SHIFT 24
#define D3DSP_SRCMOD_MASK 0x0F000000

// Declaration token of dcl: usage and index for vertex inputs, texture type for samplers.
#define D3DSP_DCL_USAGE_SHIFT 0
#define D3DSP_DCL_USAGE_MASK 0x0000001F
#define D3DSP_DCL_USAGEINDEX_SHIFT 16
#define D3DSP_DCL_USAGEINDEX_MASK 0x000F0000
#define D3DSP_TEXTURETYPE_SHIFT 27
#define D3DSP_TEXTURETYPE_MASK 0x78000000

// D3DPS_VERSION, D3DVS_VERSION and D3DSHADER_VERSION_MAJOR/MINOR come from d3d9types.h.
#define D3DSHADER_COMMENT(n) ((((n) << D3DSI_COMMENTSIZE_SHIFT) & D3DSI_COMMENTSIZE_MASK) | D3DSIO_COMMENT)
#define D3DPS_END() 0x0000FFFF
#define D3DVS_END() 0x0000FFFF

// dcl_* of vertex inputs carries the D3DDECLUSAGE value of d3d9types.h.

// Token field access shared by the assembler and the device.
inline bool IsPixelShaderVersion(DWORD dwVersion) { return (dwVersion & 0xFFFF0000u) == 0xFFFF0000u; }
inline bool IsVertexShaderVersion(DWORD dwVersion) { return (dwVersion & 0xFFFF0000u) == 0xFFFE0000u; }
inline DWORD ShaderOpcode(DWORD dwToken) { return dwToken & D3DSI_OPCODE_MASK; }
inline DWORD ShaderRegisterType(DWORD dwParam)
{
    return ((dwParam & D3DSP_REGTYPE_MASK) >> D3DSP_REGTYPE_SHIFT) |
           ((dwParam & D3DSP_REGTYPE_MASK2) >> D3DSP_REGTYPE_SHIFT2);
}
inline DWORD ShaderRegisterNumber(DWORD dwParam) { return dwParam & D3DSP_REGNUM_MASK; }
inline DWORD ShaderWriteMask(DWORD dwParam) { return (dwParam & D3DSP_WRITEMASK_ALL) >> 16; }
// Component (0-3) that source component nComponent reads.
inline DWORD ShaderSwizzle(DWORD dwParam, int nComponent) { return (dwParam >> (D3DSP_SWIZZLE_SHIFT + 2 * nComponent)) & 3; }
inline DWORD ShaderSourceModifier(DWORD dwParam) { return dwParam & D3DSP_SRCMOD_MASK; }
inline DWORD ShaderParam(DWORD dwRegisterType, DWORD dwNumber)
{
    return 0x80000000u | ((dwRegisterType << D3DSP_REGTYPE_SHIFT) & D3DSP_REGTYPE_MASK) |
           ((dwRegisterType << D3DSP_REGTYPE_SHIFT2) & D3DSP_REGTYPE_MASK2) | (dwNumber & D3DSP_REGNUM_MASK);
}

// Parameters of an opcode: a destination or not, and how many sources. dcl and def are read by
// their own rules (a declaration token then a destination; a destination then four floats).
struct ShaderOpcodeShape
{
    bool bDestination;
    int nSources;
};
// False for opcodes outside the shapes this layer knows (flow control, the 1.x texture forms).
inline bool GetShaderOpcodeShape(DWORD dwOpcode, ShaderOpcodeShape& shape)
{
    static constexpr struct
    {
        DWORD dwOpcode;
        ShaderOpcodeShape shape;
    } s_Shapes[] = {
        {D3DSIO_NOP, {false, 0}},  {D3DSIO_MOV, {true, 1}},    {D3DSIO_ADD, {true, 2}},
        {D3DSIO_SUB, {true, 2}},   {D3DSIO_MAD, {true, 3}},    {D3DSIO_MUL, {true, 2}},
        {D3DSIO_RCP, {true, 1}},   {D3DSIO_RSQ, {true, 1}},    {D3DSIO_DP3, {true, 2}},
        {D3DSIO_DP4, {true, 2}},   {D3DSIO_MIN, {true, 2}},    {D3DSIO_MAX, {true, 2}},
        {D3DSIO_SLT, {true, 2}},   {D3DSIO_SGE, {true, 2}},    {D3DSIO_EXP, {true, 1}},
        {D3DSIO_LOG, {true, 1}},   {D3DSIO_LIT, {true, 1}},    {D3DSIO_DST, {true, 2}},
        {D3DSIO_LRP, {true, 3}},   {D3DSIO_FRC, {true, 1}},    {D3DSIO_M4x4, {true, 2}},
        {D3DSIO_M4x3, {true, 2}},  {D3DSIO_M3x4, {true, 2}},   {D3DSIO_M3x3, {true, 2}},
        {D3DSIO_M3x2, {true, 2}},  {D3DSIO_POW, {true, 2}},    {D3DSIO_CRS, {true, 2}},
        {D3DSIO_ABS, {true, 1}},   {D3DSIO_NRM, {true, 1}},    {D3DSIO_TEXKILL, {true, 0}},
        {D3DSIO_TEX, {true, 2}},   {D3DSIO_EXPP, {true, 1}},   {D3DSIO_LOGP, {true, 1}},
        {D3DSIO_CMP, {true, 3}},   {D3DSIO_DP2ADD, {true, 3}},
    };
    for (const auto& entry : s_Shapes)
        if (entry.dwOpcode == dwOpcode)
        {
            shape = entry.shape;
            return true;
        }
    return false;
}
