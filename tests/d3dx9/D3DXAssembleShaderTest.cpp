#include <d3dx9shader.h>
#include <win32/resources.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{
std::string ErrorText(LPD3DXBUFFER pErrors)
{
    if (!pErrors)
        return std::string();
    const char* p = static_cast<const char*>(pErrors->GetBufferPointer());
    EXPECT_EQ(p[pErrors->GetBufferSize() - 1], '\0');
    return std::string(p);
}
}

TEST(D3DXAssembleShaderTest, ReturnsTokensOrErrorText)
{
    const char szGood[] = "ps.2.0\nmov oC0, c0\n";
    LPD3DXBUFFER pShader = nullptr;
    LPD3DXBUFFER pErrors = nullptr;
    ASSERT_EQ(D3DXAssembleShader(szGood, sizeof(szGood) - 1, nullptr, nullptr, D3DXSHADER_DEBUG, &pShader, &pErrors),
              S_OK);
    ASSERT_NE(pShader, nullptr);
    EXPECT_EQ(pErrors, nullptr);
    ASSERT_EQ(pShader->GetBufferSize(), 5 * sizeof(DWORD));
    const DWORD* pTokens = static_cast<const DWORD*>(pShader->GetBufferPointer());
    EXPECT_EQ(pTokens[0], 0xFFFF0200u);
    EXPECT_EQ(pTokens[4], 0x0000FFFFu);
    EXPECT_EQ(pShader->Release(), 0u);

    const char szBad[] = "ps_2_0\nmov r0, c0\nadd oC0, r0, c1\nmov r20, c0\n";
    EXPECT_EQ(D3DXAssembleShader(szBad, sizeof(szBad) - 1, nullptr, nullptr, 0, &pShader, &pErrors), E_FAIL);
    EXPECT_EQ(pShader, nullptr);
    std::string strErrors = ErrorText(pErrors);
    EXPECT_NE(strErrors.find("line 3: oC0 is written only by mov"), std::string::npos) << strErrors;
    EXPECT_NE(strErrors.find("line 4: register 'r20' is out of range"), std::string::npos) << strErrors;
    pErrors->Release();

    // Without an error buffer the failure still comes back.
    EXPECT_EQ(D3DXAssembleShader(szBad, sizeof(szBad) - 1, nullptr, nullptr, 0, &pShader, nullptr), E_FAIL);
    EXPECT_EQ(D3DXAssembleShader(nullptr, 0, nullptr, nullptr, 0, &pShader, nullptr), E_INVALIDARG);
}

TEST(D3DXAssembleShaderTest, FromResourceByIdWithResourceInErrors)
{
    size_t nTables = GetResourceTableCount();
    static const char szPixel[] = "ps_2_0\n// c31 scale\nmov oC0, c31\n";
    static const char szVertex[] = "vs.2.0\ndcl_position v0\nmov oPos, v0\n";
    static const char szBroken[] = "ps_2_0\n\nmov oC0, c0.xzy\n";
    static const ResourceEntry entries[] = {
        {"PSH", 741, szPixel, sizeof(szPixel) - 1},
        {"VSH", 940, szVertex, sizeof(szVertex) - 1},
        {"RCDATA", 742, szBroken, sizeof(szBroken) - 1},
    };
    RegisterResourceTable(entries, 3);

    LPD3DXBUFFER pShader = nullptr;
    LPD3DXBUFFER pErrors = nullptr;
    for (int nId : {741, 940})
    {
        ASSERT_EQ(D3DXAssembleShaderFromResourceA(nullptr, MAKEINTRESOURCEA(nId), nullptr, nullptr, D3DXSHADER_DEBUG,
                                                  &pShader, &pErrors),
                  S_OK)
            << nId;
        const DWORD* pTokens = static_cast<const DWORD*>(pShader->GetBufferPointer());
        EXPECT_EQ(pTokens[0], nId == 741 ? 0xFFFF0200u : 0xFFFE0200u);
        pShader->Release();
    }
    ASSERT_EQ(D3DXAssembleShaderFromResourceA(nullptr, "#741", nullptr, nullptr, 0, &pShader, nullptr), S_OK);
    pShader->Release();

    EXPECT_EQ(D3DXAssembleShaderFromResourceA(nullptr, MAKEINTRESOURCEA(742), nullptr, nullptr, 0, &pShader, &pErrors),
              E_FAIL);
    std::string strErrors = ErrorText(pErrors);
    EXPECT_EQ(strErrors.rfind("resource 742 line 3: the swizzle of c0", 0), 0u) << strErrors;
    pErrors->Release();

    EXPECT_EQ(D3DXAssembleShaderFromResourceA(nullptr, MAKEINTRESOURCEA(743), nullptr, nullptr, 0, &pShader, &pErrors),
              E_FAIL);
    EXPECT_EQ(ErrorText(pErrors).rfind("resource 743 ", 0), 0u);
    pErrors->Release();
    TruncateResourceTables(nTables);
}
