#pragma once
// The assembler's tables: instruction names with their shapes and slot costs per version, and
// the register files of each version.
#include <d3d9/bytecode.h>

enum AsmVersion
{
    ASM_VS_1_1,
    ASM_VS_2_0,
    ASM_PS_2_0,
    ASM_VERSION_COUNT,
};

// How an instruction's result components depend on its source components; used for the
// dependent-read levels and the swizzle rules.
enum AsmOpClass
{
    ASM_OP_NOP,
    ASM_OP_COMPONENTWISE,   // result c reads swizzled component c of each source
    ASM_OP_SCALAR,          // one replicated component of each source, result replicated
    ASM_OP_VECTOR,          // result reads several components of every source (dp*, m*, crs, nrm)
    ASM_OP_TEXTURE,         // texld, texldp, texldb
    ASM_OP_KILL,            // texkill
};

struct AsmOpcodeInfo
{
    const char* szName;
    DWORD dwOpcode;
    DWORD dwControl;
    AsmOpClass opClass;
    // Instruction slots per version (index AsmVersion); 0 where the version lacks the instruction.
    int nSlots[ASM_VERSION_COUNT];
};

// Null for an unknown name (lower case, without modifiers).
const AsmOpcodeInfo* FindAsmOpcode(const char* szName);
// True for names of flow-control and other instructions this layer refuses on purpose.
bool IsRefusedAsmInstruction(const char* szName);

// One register file of a version, named by its prefix ("r", "c", "oC", "oDepth", ...).
struct AsmRegisterFile
{
    const char* szPrefix;
    DWORD dwType;
    DWORD dwFirst;      // register number of the first (oFog is RASTOUT 1)
    int nCount;         // numbered files: how many; unnumbered (oPos, oDepth): 0
    bool bWritable;
    bool bReadable;
};

// Null when the version has no register file of that prefix (compared without case).
const AsmRegisterFile* FindAsmRegisterFile(AsmVersion version, const char* szPrefix);
const char* AsmVersionName(AsmVersion version);
