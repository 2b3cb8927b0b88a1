#include "AsmTables.h"

#include <cstring>
#include <strings.h>

namespace
{
// Slot costs follow the public instruction-slot tables of each version; vs_1_1 expands exp and
// log into ten instructions and frc into three.
constexpr AsmOpcodeInfo s_Opcodes[] = {
    //  name     opcode         control              class               vs_1_1 vs_2_0 ps_2_0
    {"nop", D3DSIO_NOP, 0, ASM_OP_NOP, {1, 1, 1}},
    {"mov", D3DSIO_MOV, 0, ASM_OP_COMPONENTWISE, {1, 1, 1}},
    {"add", D3DSIO_ADD, 0, ASM_OP_COMPONENTWISE, {1, 1, 1}},
    {"sub", D3DSIO_SUB, 0, ASM_OP_COMPONENTWISE, {1, 1, 1}},
    {"mul", D3DSIO_MUL, 0, ASM_OP_COMPONENTWISE, {1, 1, 1}},
    {"mad", D3DSIO_MAD, 0, ASM_OP_COMPONENTWISE, {1, 1, 1}},
    {"min", D3DSIO_MIN, 0, ASM_OP_COMPONENTWISE, {1, 1, 1}},
    {"max", D3DSIO_MAX, 0, ASM_OP_COMPONENTWISE, {1, 1, 1}},
    {"sge", D3DSIO_SGE, 0, ASM_OP_COMPONENTWISE, {1, 1, 0}},
    {"slt", D3DSIO_SLT, 0, ASM_OP_COMPONENTWISE, {1, 1, 0}},
    {"frc", D3DSIO_FRC, 0, ASM_OP_COMPONENTWISE, {3, 1, 1}},
    {"abs", D3DSIO_ABS, 0, ASM_OP_COMPONENTWISE, {0, 1, 1}},
    {"lrp", D3DSIO_LRP, 0, ASM_OP_COMPONENTWISE, {0, 2, 2}},
    {"cmp", D3DSIO_CMP, 0, ASM_OP_COMPONENTWISE, {0, 0, 1}},
    {"rcp", D3DSIO_RCP, 0, ASM_OP_SCALAR, {1, 1, 1}},
    {"rsq", D3DSIO_RSQ, 0, ASM_OP_SCALAR, {1, 1, 1}},
    {"exp", D3DSIO_EXP, 0, ASM_OP_SCALAR, {10, 1, 1}},
    {"log", D3DSIO_LOG, 0, ASM_OP_SCALAR, {10, 1, 1}},
    {"pow", D3DSIO_POW, 0, ASM_OP_SCALAR, {0, 3, 3}},
    {"dp3", D3DSIO_DP3, 0, ASM_OP_VECTOR, {1, 1, 1}},
    {"dp4", D3DSIO_DP4, 0, ASM_OP_VECTOR, {1, 1, 1}},
    {"dp2add", D3DSIO_DP2ADD, 0, ASM_OP_VECTOR, {0, 0, 2}},
    {"m4x4", D3DSIO_M4x4, 0, ASM_OP_VECTOR, {4, 4, 4}},
    {"m4x3", D3DSIO_M4x3, 0, ASM_OP_VECTOR, {3, 3, 3}},
    {"m3x4", D3DSIO_M3x4, 0, ASM_OP_VECTOR, {4, 4, 4}},
    {"m3x3", D3DSIO_M3x3, 0, ASM_OP_VECTOR, {3, 3, 3}},
    {"m3x2", D3DSIO_M3x2, 0, ASM_OP_VECTOR, {2, 2, 2}},
    {"crs", D3DSIO_CRS, 0, ASM_OP_VECTOR, {0, 2, 2}},
    {"nrm", D3DSIO_NRM, 0, ASM_OP_VECTOR, {0, 3, 3}},
    {"texld", D3DSIO_TEX, 0, ASM_OP_TEXTURE, {0, 0, 1}},
    {"texldp", D3DSIO_TEX, D3DSI_TEXLD_PROJECT, ASM_OP_TEXTURE, {0, 0, 1}},
    {"texldb", D3DSIO_TEX, D3DSI_TEXLD_BIAS, ASM_OP_TEXTURE, {0, 0, 1}},
    {"texkill", D3DSIO_TEXKILL, 0, ASM_OP_KILL, {0, 0, 1}},
};

// Flow control, relative addressing and the forms no program of the system uses.
constexpr const char* s_Refused[] = {
    "if", "ifc", "else", "endif", "rep", "endrep", "loop", "endloop", "break", "breakc", "breakp",
    "call", "callnz", "ret", "label", "defb", "defi", "setp", "mova", "sincos", "sgn", "lit", "dst",
    "expp", "logp", "dsx", "dsy", "texldd", "texldl",
};

constexpr AsmRegisterFile s_Vs11[] = {
    {"r", D3DSPR_TEMP, 0, 12, true, true},         {"c", D3DSPR_CONST, 0, 96, false, true},
    {"v", D3DSPR_INPUT, 0, 16, false, true},       {"oPos", D3DSPR_RASTOUT, D3DSRO_POSITION, 0, true, false},
    {"oFog", D3DSPR_RASTOUT, D3DSRO_FOG, 0, true, false},
    {"oPts", D3DSPR_RASTOUT, D3DSRO_POINT_SIZE, 0, true, false},
    {"oD", D3DSPR_ATTROUT, 0, 2, true, false},     {"oT", D3DSPR_TEXCRDOUT, 0, 8, true, false},
};
constexpr AsmRegisterFile s_Vs20[] = {
    {"r", D3DSPR_TEMP, 0, 12, true, true},         {"c", D3DSPR_CONST, 0, 256, false, true},
    {"v", D3DSPR_INPUT, 0, 16, false, true},       {"oPos", D3DSPR_RASTOUT, D3DSRO_POSITION, 0, true, false},
    {"oFog", D3DSPR_RASTOUT, D3DSRO_FOG, 0, true, false},
    {"oPts", D3DSPR_RASTOUT, D3DSRO_POINT_SIZE, 0, true, false},
    {"oD", D3DSPR_ATTROUT, 0, 2, true, false},     {"oT", D3DSPR_TEXCRDOUT, 0, 8, true, false},
};
constexpr AsmRegisterFile s_Ps20[] = {
    {"r", D3DSPR_TEMP, 0, 12, true, true},         {"c", D3DSPR_CONST, 0, 32, false, true},
    {"t", D3DSPR_TEXTURE, 0, 8, false, true},      {"v", D3DSPR_INPUT, 0, 2, false, true},
    {"s", D3DSPR_SAMPLER, 0, 16, false, true},     {"oC", D3DSPR_COLOROUT, 0, 4, true, false},
    {"oDepth", D3DSPR_DEPTHOUT, 0, 0, true, false},
};

struct RegisterTable
{
    const AsmRegisterFile* pFiles;
    size_t nCount;
};
constexpr RegisterTable s_RegisterTables[ASM_VERSION_COUNT] = {
    {s_Vs11, sizeof(s_Vs11) / sizeof(s_Vs11[0])},
    {s_Vs20, sizeof(s_Vs20) / sizeof(s_Vs20[0])},
    {s_Ps20, sizeof(s_Ps20) / sizeof(s_Ps20[0])},
};
}

const AsmOpcodeInfo* FindAsmOpcode(const char* szName)
{
    for (const AsmOpcodeInfo& info : s_Opcodes)
        if (std::strcmp(info.szName, szName) == 0)
            return &info;
    return nullptr;
}

bool IsRefusedAsmInstruction(const char* szName)
{
    for (const char* szRefused : s_Refused)
        if (std::strcmp(szRefused, szName) == 0)
            return true;
    return false;
}

const AsmRegisterFile* FindAsmRegisterFile(AsmVersion version, const char* szPrefix)
{
    const RegisterTable& table = s_RegisterTables[version];
    for (size_t i = 0; i < table.nCount; ++i)
        if (strcasecmp(table.pFiles[i].szPrefix, szPrefix) == 0)
            return &table.pFiles[i];
    return nullptr;
}

const char* AsmVersionName(AsmVersion version)
{
    static constexpr const char* s_Names[ASM_VERSION_COUNT] = {"vs_1_1", "vs_2_0", "ps_2_0"};
    return s_Names[version];
}
