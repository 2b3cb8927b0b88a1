#pragma once
// Writes the instruction form (version token, instructions, end token) of the programs the
// fixed-function pipeline generates, so they go through the same plan builder and executor as
// the programs an application creates.
#include <d3d9/bytecode.h>

#include <initializer_list>
#include <vector>

// A destination parameter: register, write mask (bit 0 x ... bit 3 w), saturation.
DWORD TokenDst(DWORD dwType, DWORD dwNumber, DWORD dwMask = 0xF, bool bSaturate = false);
// A source parameter: register, swizzle ("xyzw", "wzyx", or one letter to replicate), negation.
DWORD TokenSrc(DWORD dwType, DWORD dwNumber, const char* szSwizzle = "xyzw", bool bNegate = false);
// The same source read through another swizzle (applied on top of its own).
DWORD TokenSwizzle(DWORD dwSource, const char* szSwizzle);

class ShaderTokenWriter
{
public:
    explicit ShaderTokenWriter(std::vector<DWORD>& tokens, DWORD dwVersion);
    // dcl: the declaration token (usage and index, or sampler type) and the declared register.
    void Dcl(DWORD dwDeclaration, DWORD dwRegister);
    void Op(DWORD dwOpcode, DWORD dwDestination, std::initializer_list<DWORD> sources);
    // Appends the end token.
    void End();

private:
    std::vector<DWORD>& m_tokens;
};
