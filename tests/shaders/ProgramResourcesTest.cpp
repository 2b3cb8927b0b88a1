// Every program of tracer/shaders assembles in strict mode, so an over-budget program fails
// here rather than in a message box at start-up.
#include <ShaderAssembler.h>
#include <ShaderProgramResources.h>

#include <gtest/gtest.h>

#include <cstdio>

TEST(ProgramResourcesTest, EveryProgramAssemblesInStrictMode)
{
    size_t nCount = 0;
    const ResourceEntry* pPrograms = GetShaderProgramResources(&nCount);
    ShaderAssemblyOptions options;
    options.bStrict = true;
    for (size_t i = 0; i < nCount; ++i)
    {
        const ResourceEntry& entry = pPrograms[i];
        EXPECT_EQ(FindResourceEntry(entry.m_szType, entry.m_nId), &entry) << "not registered: " << entry.m_nId;
        ShaderAssembly result;
        bool bOk = AssembleShaderText(static_cast<const char*>(entry.m_pData), entry.m_nSize, options, result);
        for (const std::string& strError : result.errors)
            ADD_FAILURE() << "resource " << entry.m_nId << " " << strError;
        if (bOk)
            std::printf("%s %d: %d arithmetic + %d texture slots, %d dependent levels, %d temporaries\n",
                        entry.m_szType, entry.m_nId, result.stats.nArithmeticSlots, result.stats.nTextureSlots,
                        result.stats.nDependentLevels, result.stats.nTemporaries);
    }
    std::printf("%zu programs assembled\n", nCount);
}
