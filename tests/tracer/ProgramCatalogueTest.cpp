// The program's own shader programs as a whole: every one of the 137 is among the resources with
// its version token, assembles within its version's limits, and Load creates each on the device,
// so no table slot that Load fills is left at -1.
#include "TracerFixture.h"

#include "3dapi/Renderer.h"

#include <ShaderAssembler.h>
#include <win32/resources.h>

#include <cstring>
#include <set>
#include <string>

namespace
{
struct ProgramRange
{
    int nFirst, nLast;
};
// The resource ids of the programs the program carries.
const ProgramRange PIXEL_RESOURCES[] = {{600, 600}, {602, 603}, {638, 639}, {643, 643}, {647, 675}, {700, 716},
                                        {720, 775}};
const ProgramRange VERTEX_RESOURCES[] = {{900, 901}, {907, 908}, {910, 910}, {912, 927}, {940, 943}, {950, 953}};

std::set<int> Expand(const ProgramRange* pBegin, const ProgramRange* pEnd)
{
    std::set<int> ids;
    for (const ProgramRange* p = pBegin; p != pEnd; ++p)
        for (int n = p->nFirst; n <= p->nLast; ++n)
            ids.insert(n);
    return ids;
}

// The version token: the first word of the first line that is not a comment or blank.
std::string VersionToken(const ResourceEntry& entry)
{
    const std::string text(static_cast<const char*>(entry.m_pData), entry.m_nSize);
    size_t nLine = 0;
    while (nLine < text.size())
    {
        size_t nEnd = text.find('\n', nLine);
        if (nEnd == std::string::npos)
            nEnd = text.size();
        const std::string line = text.substr(nLine, nEnd - nLine);
        const size_t nWord = line.find_first_not_of(" \t\r");
        if (nWord != std::string::npos && line[nWord] != ';' && line.compare(nWord, 2, "//") != 0)
            return line.substr(nWord, line.find_first_of(" \t\r;", nWord) - nWord);
        nLine = nEnd + 1;
    }
    return std::string();
}
}

TEST(ProgramCatalogue, EveryProgramIsPresentWithItsVersionAndAssemblesWithinItsLimits)
{
    const std::set<int> pixel = Expand(std::begin(PIXEL_RESOURCES), std::end(PIXEL_RESOURCES));
    const std::set<int> vertex = Expand(std::begin(VERTEX_RESOURCES), std::end(VERTEX_RESOURCES));
    ASSERT_EQ(pixel.size(), 108u);
    ASSERT_EQ(vertex.size(), 29u);
    const std::set<int> dottedPixel = {602, 603, 661, 663};

    for (const auto& [szType, ids] : {std::pair{"PSH", pixel}, std::pair{"VSH", vertex}})
        for (int nResource : ids)
        {
            SCOPED_TRACE(std::string(szType) + " " + std::to_string(nResource));
            const ResourceEntry* pEntry = FindResourceEntry(szType, nResource);
            ASSERT_NE(pEntry, nullptr);
            const std::string strVersion = VersionToken(*pEntry);
            if (std::strcmp(szType, "PSH") == 0)
                EXPECT_EQ(strVersion, dottedPixel.count(nResource) ? "ps.2.0" : "ps_2_0");
            else
                EXPECT_EQ(strVersion, nResource == 916 ? "vs.1.1" : "vs.2.0");
            ShaderAssemblyOptions options;
            options.bStrict = true;
            ShaderAssembly assembly;
            EXPECT_TRUE(AssembleShaderText(static_cast<const char*>(pEntry->m_pData), pEntry->m_nSize, options,
                                           assembly))
                << (assembly.errors.empty() ? std::string() : assembly.errors.front());
        }
    // No program of either kind outside the catalogue's ids.
    for (int nResource = 600; nResource < 600 + RenderApp::PIXEL_SHADER_COUNT; ++nResource)
        EXPECT_EQ(FindResourceEntry("PSH", nResource) != nullptr, pixel.count(nResource) == 1) << nResource;
    for (int nResource = 900; nResource < 900 + RenderApp::VERTEX_SHADER_COUNT; ++nResource)
        EXPECT_EQ(FindResourceEntry("VSH", nResource) != nullptr, vertex.count(nResource) == 1) << nResource;
}

TEST_F(TracerTest, LoadCreatesEveryProgramOnTheDevice)
{
    ASSERT_TRUE(InitAndLoad());
    const Renderer& renderer = *m_pApp->GetRenderer();
    EXPECT_EQ(renderer.GetPixelShaderCount(), 108);
    EXPECT_EQ(renderer.GetVertexShaderCount(), 29);
    const std::set<int> pixel = Expand(std::begin(PIXEL_RESOURCES), std::end(PIXEL_RESOURCES));
    const std::set<int> vertex = Expand(std::begin(VERTEX_RESOURCES), std::end(VERTEX_RESOURCES));
    for (int nResource : pixel)
    {
        const int nHandle = m_pApp->m_PixelShaders[nResource - 600];
        ASSERT_GE(nHandle, 0) << "pixel program resource " << nResource;
        const ShaderEntry* pEntry = renderer.GetPixelShaderEntry(nHandle);
        ASSERT_NE(pEntry, nullptr) << nResource;
        EXPECT_NE(pEntry->m_pDeviceShader, nullptr) << nResource;
        EXPECT_EQ(pEntry->m_nResourceIndex, nResource - 600);
    }
    for (int nResource : vertex)
    {
        const int nHandle = m_pApp->m_VertexShaders[nResource - 900];
        ASSERT_GE(nHandle, 0) << "vertex program resource " << nResource;
        const ShaderEntry* pEntry = renderer.GetVertexShaderEntry(nHandle);
        ASSERT_NE(pEntry, nullptr) << nResource;
        EXPECT_NE(pEntry->m_pDeviceShader, nullptr) << nResource;
        EXPECT_EQ(pEntry->m_nResourceIndex, nResource - 900);
    }
    EXPECT_EQ(CountLogLines(LOG_ERROR, {"shader program"}), 0);
    EXPECT_EQ(CountLogLines(LOG_ERROR, {"Load"}), 0);
}
