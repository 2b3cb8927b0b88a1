#pragma once
// Direct3D 9 shader-assembly text (vs_1_1, vs_2_0, ps_2_0; "_" or "." in the version) to the
// token stream of d3d9/bytecode.h, with each version's limits checked. Errors come back one per
// line as "line <n>: <message>"; the first line of the text is line 1.
#include <d3d9/bytecode.h>

#include <cstddef>
#include <string>
#include <vector>

struct ShaderAssemblyOptions
{
    // Also enforce the per-instruction register read ports (ps_2_0: 2 c#, 1 t#, 1 v#, 3 r#;
    // vertex programs: 1 c#). The layer's own loading leaves them off; the program tests turn
    // them on so an over-budget program fails in CI rather than at start-up.
    bool bStrict = false;
};

struct ShaderAssemblyStats
{
    int nArithmeticSlots = 0;   // vertex programs count every slot here
    int nTextureSlots = 0;
    int nDependentLevels = 0;   // deepest chain of texture reads (1 = no dependent read)
    int nTemporaries = 0;       // distinct r# written
};

struct ShaderAssembly
{
    std::vector<DWORD> tokens;           // empty when errors is not
    std::vector<std::string> errors;
    ShaderAssemblyStats stats;
};

// True when the text assembled without error.
bool AssembleShaderText(const char* pText, size_t nLength, const ShaderAssemblyOptions& options,
                        ShaderAssembly& result);
