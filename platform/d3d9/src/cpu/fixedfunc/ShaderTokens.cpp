#include "cpu/fixedfunc/ShaderTokens.h"

namespace
{
DWORD SwizzleBits(const char* szSwizzle)
{
    DWORD dwComponents[4] = {0, 1, 2, 3};
    for (int c = 0; c < 4 && szSwizzle[0]; ++c)
    {
        const char ch = szSwizzle[szSwizzle[1] ? c : 0];
        dwComponents[c] = ch == 'x' ? 0 : ch == 'y' ? 1 : ch == 'z' ? 2 : 3;
    }
    return (dwComponents[0] | dwComponents[1] << 2 | dwComponents[2] << 4 | dwComponents[3] << 6)
           << D3DSP_SWIZZLE_SHIFT;
}
}

DWORD TokenDst(DWORD dwType, DWORD dwNumber, DWORD dwMask, bool bSaturate)
{
    return ShaderParam(dwType, dwNumber) | (dwMask << 16) | (bSaturate ? D3DSPDM_SATURATE : 0);
}

DWORD TokenSrc(DWORD dwType, DWORD dwNumber, const char* szSwizzle, bool bNegate)
{
    return ShaderParam(dwType, dwNumber) | SwizzleBits(szSwizzle) | (bNegate ? D3DSPSM_NEG : D3DSPSM_NONE);
}

DWORD TokenSwizzle(DWORD dwSource, const char* szSwizzle)
{
    const DWORD dwOuter = SwizzleBits(szSwizzle);
    DWORD dwBits = 0;
    for (int c = 0; c < 4; ++c)
    {
        const DWORD dwPicked = (dwOuter >> (D3DSP_SWIZZLE_SHIFT + 2 * c)) & 3;
        dwBits |= ShaderSwizzle(dwSource, (int)dwPicked) << (D3DSP_SWIZZLE_SHIFT + 2 * c);
    }
    return (dwSource & ~D3DSP_SWIZZLE_MASK) | dwBits;
}

ShaderTokenWriter::ShaderTokenWriter(std::vector<DWORD>& tokens, DWORD dwVersion) : m_tokens(tokens)
{
    m_tokens.clear();
    m_tokens.push_back(dwVersion);
}

void ShaderTokenWriter::Dcl(DWORD dwDeclaration, DWORD dwRegister)
{
    m_tokens.push_back(D3DSIO_DCL | (2u << D3DSI_INSTLENGTH_SHIFT));
    m_tokens.push_back(0x80000000u | dwDeclaration);
    m_tokens.push_back(dwRegister);
}

void ShaderTokenWriter::Op(DWORD dwOpcode, DWORD dwDestination, std::initializer_list<DWORD> sources)
{
    m_tokens.push_back(dwOpcode | ((DWORD)(1 + sources.size()) << D3DSI_INSTLENGTH_SHIFT));
    m_tokens.push_back(dwDestination);
    m_tokens.insert(m_tokens.end(), sources.begin(), sources.end());
}

void ShaderTokenWriter::End()
{
    m_tokens.push_back(D3DVS_END());
}
