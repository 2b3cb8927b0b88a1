#include "cpu/shader/ShaderProgram.h"

#include "core/Log.h"

std::shared_ptr<ShaderProgram> ShaderProgram::Compile(const std::vector<DWORD>& tokens)
{
    auto pProgram = std::make_shared<ShaderProgram>();
    std::string strError;
    if (!BuildShaderPlan(tokens.data(), tokens.size(), pProgram->m_plan, strError))
    {
        LogError("ShaderProgram::Compile() - %s.", strError.c_str());
        return nullptr;
    }
    return pProgram;
}
