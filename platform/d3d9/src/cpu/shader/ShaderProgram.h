#pragma once
// The CPU back end's form of a created vertex or pixel shader: its execution plan, built once
// when the shader object is created and kept by it.
#include "cpu/shader/ShaderPlan.h"
#include "device/Backend.h"

#include <memory>
#include <vector>

class ShaderProgram final : public CompiledProgram
{
public:
    const ShaderPlan& GetPlan() const { return m_plan; }

    // Null, with the reason logged, for a token stream the device does not run.
    static std::shared_ptr<ShaderProgram> Compile(const std::vector<DWORD>& tokens);

private:
    ShaderPlan m_plan;
};
