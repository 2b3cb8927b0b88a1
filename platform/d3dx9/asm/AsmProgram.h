#pragma once
// The assembler's intermediate form: one statement per source line, already in tokens, with the
// line it came from so the checks can report it.
#include "AsmTables.h"

#include <string>
#include <vector>

struct AsmStatement
{
    int nLine = 0;
    const AsmOpcodeInfo* pInfo = nullptr;   // null for dcl and def
    DWORD dwInstruction = 0;                // opcode and control bits
    std::vector<DWORD> params;              // dcl: declaration, destination; def: destination, 4 floats
};

struct AsmProgram
{
    AsmVersion version = ASM_PS_2_0;
    int nVersionLine = 0;
    std::vector<AsmStatement> statements;
};

// Text to statements. Syntax errors are appended; statements that parsed are kept either way.
bool ParseShaderAssembly(const char* pText, size_t nLength, AsmProgram& program, std::vector<std::string>& errors);

// Limits and usage rules of the program's version. Returns false after appending errors.
struct ShaderAssemblyOptions;
struct ShaderAssemblyStats;
bool ValidateShaderAssembly(const AsmProgram& program, const ShaderAssemblyOptions& options,
                            ShaderAssemblyStats& stats, std::vector<std::string>& errors);

void AddAsmError(std::vector<std::string>& errors, int nLine, const char* szFormat, ...)
    __attribute__((format(printf, 3, 4)));
