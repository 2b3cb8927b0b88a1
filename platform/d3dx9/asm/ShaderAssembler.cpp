#include "ShaderAssembler.h"

#include "AsmProgram.h"

namespace
{
DWORD VersionToken(AsmVersion version)
{
    switch (version)
    {
    case ASM_VS_1_1: return D3DVS_VERSION(1, 1);
    case ASM_VS_2_0: return D3DVS_VERSION(2, 0);
    default: return D3DPS_VERSION(2, 0);
    }
}

void Encode(const AsmProgram& program, std::vector<DWORD>& tokens)
{
    // Versions 2.0 and later carry each instruction's length; 1.x leaves those bits zero.
    bool bLengths = program.version != ASM_VS_1_1;
    tokens.push_back(VersionToken(program.version));
    for (const AsmStatement& st : program.statements)
    {
        DWORD dwLength = bLengths ? (DWORD)st.params.size() << D3DSI_INSTLENGTH_SHIFT : 0;
        tokens.push_back(st.dwInstruction | dwLength);
        tokens.insert(tokens.end(), st.params.begin(), st.params.end());
    }
    tokens.push_back(D3DPS_END());
}
}

bool AssembleShaderText(const char* pText, size_t nLength, const ShaderAssemblyOptions& options,
                        ShaderAssembly& result)
{
    result = ShaderAssembly();
    AsmProgram program;
    if (!pText)
    {
        AddAsmError(result.errors, 1, "the program text is missing");
        return false;
    }
    bool bParsed = ParseShaderAssembly(pText, nLength, program, result.errors);
    if (program.nVersionLine)
        ValidateShaderAssembly(program, options, result.stats, result.errors);
    if (!bParsed || !result.errors.empty())
        return false;
    Encode(program, result.tokens);
    return true;
}
