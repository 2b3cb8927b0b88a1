#include "AsmProgram.h"

#include <cctype>
#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <strings.h>

void AddAsmError(std::vector<std::string>& errors, int nLine, const char* szFormat, ...)
{
    char szMessage[256];
    va_list args;
    va_start(args, szFormat);
    std::vsnprintf(szMessage, sizeof(szMessage), szFormat, args);
    va_end(args);
    errors.push_back("line " + std::to_string(nLine) + ": " + szMessage);
}

namespace
{
struct SourceLine
{
    int nLine;
    std::string strText;
};

// Splits the text into lines with ";", "//" and "/* */" comments removed.
std::vector<SourceLine> SplitLines(const char* pText, size_t nLength)
{
    std::vector<SourceLine> lines;
    std::string current;
    int nLine = 1;
    bool bBlock = false;
    bool bLineComment = false;
    auto flush = [&]() {
        lines.push_back({nLine, current});
        current.clear();
        bLineComment = false;
        ++nLine;
    };
    for (size_t i = 0; i < nLength; ++i)
    {
        char ch = pText[i];
        if (ch == '\0')
            break;
        if (ch == '\n')
        {
            flush();
            continue;
        }
        if (bBlock)
        {
            if (ch == '*' && i + 1 < nLength && pText[i + 1] == '/')
            {
                bBlock = false;
                ++i;
            }
            continue;
        }
        if (bLineComment)
            continue;
        if (ch == ';' || (ch == '/' && i + 1 < nLength && pText[i + 1] == '/'))
        {
            bLineComment = true;
            continue;
        }
        if (ch == '/' && i + 1 < nLength && pText[i + 1] == '*')
        {
            bBlock = true;
            ++i;
            continue;
        }
        current += ch == '\r' || ch == '\t' ? ' ' : ch;
    }
    flush();
    return lines;
}

std::string Trim(const std::string& s)
{
    size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos)
        return std::string();
    size_t e = s.find_last_not_of(' ');
    return s.substr(b, e - b + 1);
}

std::string Lower(std::string s)
{
    for (char& ch : s)
        ch = (char)std::tolower((unsigned char)ch);
    return s;
}

int ComponentIndex(char ch)
{
    switch (std::tolower((unsigned char)ch))
    {
    case 'x': case 'r': return 0;
    case 'y': case 'g': return 1;
    case 'z': case 'b': return 2;
    case 'w': case 'a': return 3;
    default: return -1;
    }
}

bool ParseVersion(const std::string& strWord, AsmVersion& version)
{
    static constexpr struct
    {
        const char* szUnderscore;
        const char* szDotted;
        AsmVersion version;
    } s_Versions[] = {
        {"vs_1_1", "vs.1.1", ASM_VS_1_1},
        {"vs_2_0", "vs.2.0", ASM_VS_2_0},
        {"ps_2_0", "ps.2.0", ASM_PS_2_0},
    };
    for (const auto& v : s_Versions)
        if (strWord == v.szUnderscore || strWord == v.szDotted)
        {
            version = v.version;
            return true;
        }
    return false;
}

// One register operand. On failure an error has been added and false is returned.
class OperandParser
{
public:
    OperandParser(AsmVersion version, int nLine, std::vector<std::string>& errors)
        : m_version(version), m_nLine(nLine), m_errors(errors)
    {
    }

    bool Parse(const std::string& strOperand, bool bDestination, DWORD& dwToken)
    {
        std::string s = strOperand;
        bool bNegate = false;
        if (!s.empty() && s[0] == '-')
        {
            bNegate = true;
            s = Trim(s.substr(1));
        }
        if (s.find('[') != std::string::npos)
            return Fail("relative addressing is not supported ('%s')", strOperand.c_str());
        if (!s.empty() && std::isdigit((unsigned char)s[0]))
            return Fail("source modifier in '%s' is not supported", strOperand.c_str());
        size_t i = 0;
        while (i < s.size() && std::isalpha((unsigned char)s[i]))
            ++i;
        std::string strPrefix = s.substr(0, i);
        size_t nDigits = i;
        while (nDigits < s.size() && std::isdigit((unsigned char)s[nDigits]))
            ++nDigits;
        std::string strNumber = s.substr(i, nDigits - i);
        std::string strRest = s.substr(nDigits);
        const AsmRegisterFile* pFile = FindAsmRegisterFile(m_version, strPrefix.c_str());
        if (!pFile)
        {
            std::string lower = Lower(strPrefix);
            if (lower == "a" || lower == "al")
                return Fail("relative addressing is not supported ('%s')", strOperand.c_str());
            if (lower == "b" || lower == "i" || lower == "p")
                return Fail("flow control is not supported ('%s')", strOperand.c_str());
            return Fail("'%s' is not a register of %s", strOperand.c_str(), AsmVersionName(m_version));
        }
        DWORD dwNumber = pFile->dwFirst;
        if (pFile->nCount > 0)
        {
            if (strNumber.empty())
                return Fail("register '%s' needs a number", strOperand.c_str());
            int n = std::atoi(strNumber.c_str());
            if (strNumber.size() > 4 || n >= pFile->nCount)
                return Fail("register '%s' is out of range (%s has %s0 to %s%d)", strOperand.c_str(),
                            AsmVersionName(m_version), pFile->szPrefix, pFile->szPrefix, pFile->nCount - 1);
            dwNumber += (DWORD)n;
        }
        else if (!strNumber.empty())
            return Fail("'%s' is not a register of %s", strOperand.c_str(), AsmVersionName(m_version));
        if (!strRest.empty() && strRest[0] == '_')
        {
            size_t nDot = strRest.find('.');
            return Fail("source modifier '%s' is not supported",
                        strRest.substr(0, nDot == std::string::npos ? strRest.size() : nDot).c_str());
        }
        std::string strComponents;
        if (!strRest.empty())
        {
            if (strRest[0] != '.' || strRest.size() < 2 || strRest.size() > 5)
                return Fail("bad operand '%s'", strOperand.c_str());
            strComponents = strRest.substr(1);
        }
        dwToken = ShaderParam(pFile->dwType, dwNumber);
        if (bDestination)
        {
            if (bNegate)
                return Fail("a destination cannot be negated ('%s')", strOperand.c_str());
            if (!pFile->bWritable)
                return Fail("'%s' cannot be written", strOperand.c_str());
            DWORD dwMask = 0;
            int nLast = -1;
            for (char ch : strComponents)
            {
                int c = ComponentIndex(ch);
                if (c <= nLast)
                    return Fail("bad write mask in '%s'", strOperand.c_str());
                dwMask |= 1u << c;
                nLast = c;
            }
            dwToken |= (strComponents.empty() ? 0xFu : dwMask) << 16;
            return true;
        }
        if (!pFile->bReadable)
            return Fail("'%s' cannot be read", strOperand.c_str());
        DWORD dwSwizzle = D3DSP_NOSWIZZLE;
        if (!strComponents.empty())
        {
            dwSwizzle = 0;
            int c = 0;
            for (int k = 0; k < 4; ++k)
            {
                if (k < (int)strComponents.size())
                {
                    c = ComponentIndex(strComponents[k]);
                    if (c < 0)
                        return Fail("bad swizzle in '%s'", strOperand.c_str());
                }
                dwSwizzle |= (DWORD)c << (D3DSP_SWIZZLE_SHIFT + 2 * k);
            }
        }
        dwToken |= dwSwizzle | (bNegate ? D3DSPSM_NEG : D3DSPSM_NONE);
        return true;
    }

private:
    bool Fail(const char* szFormat, ...) __attribute__((format(printf, 2, 3)))
    {
        char szMessage[200];
        va_list args;
        va_start(args, szFormat);
        std::vsnprintf(szMessage, sizeof(szMessage), szFormat, args);
        va_end(args);
        AddAsmError(m_errors, m_nLine, "%s", szMessage);
        return false;
    }

    AsmVersion m_version;
    int m_nLine;
    std::vector<std::string>& m_errors;
};

std::vector<std::string> SplitOperands(const std::string& strRest)
{
    std::vector<std::string> operands;
    if (Trim(strRest).empty())
        return operands;
    size_t nStart = 0;
    while (true)
    {
        size_t nComma = strRest.find(',', nStart);
        operands.push_back(Trim(strRest.substr(nStart, nComma == std::string::npos ? std::string::npos : nComma - nStart)));
        if (nComma == std::string::npos)
            break;
        nStart = nComma + 1;
    }
    return operands;
}

struct DeclUsageName
{
    const char* szName;
    DWORD dwUsage;
};
constexpr DeclUsageName s_Usages[] = {
    {"position", D3DDECLUSAGE_POSITION}, {"blendweight", D3DDECLUSAGE_BLENDWEIGHT},
    {"blendindices", D3DDECLUSAGE_BLENDINDICES}, {"normal", D3DDECLUSAGE_NORMAL},
    {"psize", D3DDECLUSAGE_PSIZE}, {"texcoord", D3DDECLUSAGE_TEXCOORD},
    {"tangent", D3DDECLUSAGE_TANGENT}, {"binormal", D3DDECLUSAGE_BINORMAL},
    {"tessfactor", D3DDECLUSAGE_TESSFACTOR}, {"positiont", D3DDECLUSAGE_POSITIONT},
    {"color", D3DDECLUSAGE_COLOR}, {"fog", D3DDECLUSAGE_FOG}, {"depth", D3DDECLUSAGE_DEPTH},
    {"sample", D3DDECLUSAGE_SAMPLE},
};

class StatementParser
{
public:
    StatementParser(AsmProgram& program, std::vector<std::string>& errors) : m_program(program), m_errors(errors) {}

    void Parse(int nLine, const std::string& strMnemonic, const std::vector<std::string>& operands)
    {
        AsmStatement statement;
        statement.nLine = nLine;
        bool bOk = strMnemonic.compare(0, 3, "dcl") == 0 ? ParseDcl(nLine, strMnemonic, operands, statement)
                   : strMnemonic == "def"                 ? ParseDef(nLine, operands, statement)
                                                          : ParseInstruction(nLine, strMnemonic, operands, statement);
        if (bOk)
            m_program.statements.push_back(std::move(statement));
    }

private:
    bool ParseDcl(int nLine, const std::string& strMnemonic, const std::vector<std::string>& operands,
                  AsmStatement& statement)
    {
        m_nLine = nLine;
        if (operands.size() != 1)
        {
            AddAsmError(m_errors, nLine, "'%s' takes one register", strMnemonic.c_str());
            return false;
        }
        OperandParser parser(m_program.version, nLine, m_errors);
        DWORD dwRegister = 0;
        std::string strOperand = operands[0];
        // A declared register is written like a destination: register and component mask.
        if (!ParseDeclared(parser, strOperand, dwRegister))
            return false;
        DWORD dwDecl = 0x80000000u;
        std::string strSuffix = strMnemonic.size() > 3 ? strMnemonic.substr(3) : std::string();
        // A partial-precision declaration ("dcl_pp t0.xy") is accepted and runs at full precision.
        if (strSuffix.size() >= 3 && strSuffix.compare(strSuffix.size() - 3, 3, "_pp") == 0)
        {
            strSuffix.resize(strSuffix.size() - 3);
            dwRegister |= D3DSPDM_PARTIALPRECISION;
        }
        bool bPixel = m_program.version == ASM_PS_2_0;
        DWORD dwType = ShaderRegisterType(dwRegister);
        if (bPixel)
        {
            if (dwType == D3DSPR_SAMPLER)
            {
                static constexpr struct
                {
                    const char* szSuffix;
                    DWORD dwType;
                } s_Types[] = {{"_2d", D3DSTT_2D}, {"_cube", D3DSTT_CUBE}, {"_volume", D3DSTT_VOLUME}};
                bool bFound = false;
                for (const auto& t : s_Types)
                    if (strSuffix == t.szSuffix)
                    {
                        dwDecl |= t.dwType;
                        bFound = true;
                    }
                if (!bFound)
                {
                    AddAsmError(m_errors, nLine, "a sampler is declared with dcl_2d, dcl_cube or dcl_volume");
                    return false;
                }
            }
            else if (!strSuffix.empty() || (dwType != D3DSPR_TEXTURE && dwType != D3DSPR_INPUT))
            {
                AddAsmError(m_errors, nLine, "ps_2_0 declares t#, v# with dcl and s# with dcl_2d or dcl_cube");
                return false;
            }
        }
        else
        {
            std::string strUsage = strSuffix.empty() ? std::string() : strSuffix.substr(1);
            size_t nDigits = strUsage.find_first_of("0123456789");
            DWORD dwIndex = nDigits == std::string::npos ? 0 : (DWORD)std::atoi(strUsage.c_str() + nDigits);
            strUsage = strUsage.substr(0, nDigits);
            const DeclUsageName* pUsage = nullptr;
            for (const DeclUsageName& u : s_Usages)
                if (strUsage == u.szName)
                    pUsage = &u;
            if (strSuffix.empty() || strSuffix[0] != '_' || !pUsage || dwIndex > 15 || dwType != D3DSPR_INPUT)
            {
                AddAsmError(m_errors, nLine, "'%s %s' is not a vertex input declaration", strMnemonic.c_str(),
                            strOperand.c_str());
                return false;
            }
            dwDecl |= (pUsage->dwUsage << D3DSP_DCL_USAGE_SHIFT) | (dwIndex << D3DSP_DCL_USAGEINDEX_SHIFT);
        }
        statement.dwInstruction = D3DSIO_DCL;
        statement.params = {dwDecl, dwRegister};
        return true;
    }

    // dcl names input registers, which the operand parser takes only as sources; parse the
    // register as a source and move its components into a write mask.
    bool ParseDeclared(OperandParser& parser, const std::string& strOperand, DWORD& dwRegister)
    {
        size_t nDot = strOperand.find('.');
        DWORD dwSource = 0;
        if (!parser.Parse(strOperand.substr(0, nDot), false, dwSource))
            return false;
        DWORD dwMask = 0xF;
        if (nDot != std::string::npos)
        {
            dwMask = 0;
            int nLast = -1;
            std::string strMask = strOperand.substr(nDot + 1);
            for (char ch : strMask)
            {
                int c = ComponentIndex(ch);
                if (c <= nLast)
                    return BadMask(strOperand);
                dwMask |= 1u << c;
                nLast = c;
            }
            if (strMask.empty())
                return BadMask(strOperand);
        }
        dwRegister = (dwSource & ~(D3DSP_SWIZZLE_MASK | D3DSP_SRCMOD_MASK)) | (dwMask << 16);
        return true;
    }

    bool BadMask(const std::string& strOperand)
    {
        AddAsmError(m_errors, m_nLine, "bad write mask in '%s'", strOperand.c_str());
        return false;
    }

    bool ParseDef(int nLine, const std::vector<std::string>& operands, AsmStatement& statement)
    {
        m_nLine = nLine;
        if (operands.size() != 5)
        {
            AddAsmError(m_errors, nLine, "def takes a constant register and four numbers");
            return false;
        }
        OperandParser parser(m_program.version, nLine, m_errors);
        DWORD dwRegister = 0;
        if (!parser.Parse(operands[0], false, dwRegister))
            return false;
        if (ShaderRegisterType(dwRegister) != D3DSPR_CONST || (dwRegister & D3DSP_SWIZZLE_MASK) != D3DSP_NOSWIZZLE ||
            ShaderSourceModifier(dwRegister) != D3DSPSM_NONE)
        {
            AddAsmError(m_errors, nLine, "def writes a whole constant register c#");
            return false;
        }
        statement.dwInstruction = D3DSIO_DEF;
        statement.params.push_back((dwRegister & ~(D3DSP_SWIZZLE_MASK | D3DSP_SRCMOD_MASK)) | D3DSP_WRITEMASK_ALL);
        for (int k = 1; k < 5; ++k)
        {
            const std::string& s = operands[k];
            float f = 0.f;
            const char* pBegin = s.c_str() + (!s.empty() && s[0] == '+' ? 1 : 0);
            const char* pEnd = s.c_str() + s.size();
            auto [pStop, ec] = std::from_chars(pBegin, pEnd, f);
            if (ec != std::errc() || pStop != pEnd)
            {
                AddAsmError(m_errors, nLine, "bad number '%s' in def", s.c_str());
                return false;
            }
            DWORD dwBits;
            std::memcpy(&dwBits, &f, sizeof(dwBits));
            statement.params.push_back(dwBits);
        }
        return true;
    }

    bool ParseInstruction(int nLine, const std::string& strMnemonic, const std::vector<std::string>& operands,
                          AsmStatement& statement)
    {
        size_t nUnderscore = strMnemonic.find('_');
        std::string strName = strMnemonic.substr(0, nUnderscore);
        const AsmOpcodeInfo* pInfo = FindAsmOpcode(strName.c_str());
        if (!pInfo)
        {
            if (IsRefusedAsmInstruction(strName.c_str()))
                AddAsmError(m_errors, nLine, "'%s' is not supported (no flow control or relative addressing)",
                            strName.c_str());
            else
                AddAsmError(m_errors, nLine, "unknown instruction '%s'", strName.c_str());
            return false;
        }
        if (pInfo->nSlots[m_program.version] == 0)
        {
            AddAsmError(m_errors, nLine, "'%s' is not available in %s", strName.c_str(),
                        AsmVersionName(m_program.version));
            return false;
        }
        DWORD dwModifiers = 0;
        while (nUnderscore != std::string::npos)
        {
            size_t nNext = strMnemonic.find('_', nUnderscore + 1);
            std::string strModifier = strMnemonic.substr(nUnderscore + 1, nNext == std::string::npos ? std::string::npos
                                                                                                     : nNext - nUnderscore - 1);
            if (strModifier == "sat")
                dwModifiers |= D3DSPDM_SATURATE;
            else if (strModifier == "pp")
                dwModifiers |= D3DSPDM_PARTIALPRECISION;
            else
            {
                AddAsmError(m_errors, nLine, "instruction modifier '_%s' is not supported", strModifier.c_str());
                return false;
            }
            nUnderscore = nNext;
        }
        ShaderOpcodeShape shape{};
        GetShaderOpcodeShape(pInfo->dwOpcode, shape);
        size_t nExpected = (shape.bDestination ? 1 : 0) + (size_t)shape.nSources;
        if (operands.size() != nExpected)
        {
            AddAsmError(m_errors, nLine, "'%s' takes %zu operands", strName.c_str(), nExpected);
            return false;
        }
        OperandParser parser(m_program.version, nLine, m_errors);
        statement.pInfo = pInfo;
        statement.dwInstruction = pInfo->dwOpcode | pInfo->dwControl;
        for (size_t k = 0; k < operands.size(); ++k)
        {
            bool bDestination = shape.bDestination && k == 0;
            DWORD dwToken = 0;
            // texkill names its register like a destination, though it only reads it.
            if (pInfo->opClass == ASM_OP_KILL)
            {
                DWORD dwSource = 0;
                if (!parser.Parse(operands[k], false, dwSource))
                    return false;
                if ((dwSource & (D3DSP_SWIZZLE_MASK | D3DSP_SRCMOD_MASK)) != D3DSP_NOSWIZZLE)
                {
                    AddAsmError(m_errors, nLine, "texkill takes a register without swizzle or modifier");
                    return false;
                }
                dwToken = (dwSource & ~D3DSP_SWIZZLE_MASK) | D3DSP_WRITEMASK_ALL;
            }
            else if (!parser.Parse(operands[k], bDestination, dwToken))
                return false;
            if (bDestination)
                dwToken |= dwModifiers;
            statement.params.push_back(dwToken);
        }
        return true;
    }

    AsmProgram& m_program;
    std::vector<std::string>& m_errors;
    int m_nLine = 0;
};
}

bool ParseShaderAssembly(const char* pText, size_t nLength, AsmProgram& program, std::vector<std::string>& errors)
{
    size_t nErrors = errors.size();
    bool bVersion = false;
    StatementParser parser(program, errors);
    int nLastLine = 1;
    for (const SourceLine& line : SplitLines(pText, nLength))
    {
        nLastLine = line.nLine;
        std::string strText = Trim(line.strText);
        if (strText.empty())
            continue;
        size_t nSpace = strText.find(' ');
        std::string strMnemonic = Lower(strText.substr(0, nSpace));
        std::string strRest = nSpace == std::string::npos ? std::string() : strText.substr(nSpace + 1);
        if (!bVersion)
        {
            if (!ParseVersion(strMnemonic, program.version) || !Trim(strRest).empty())
            {
                AddAsmError(errors, line.nLine, "'%s' is not a supported version (vs_1_1, vs_2_0 or ps_2_0)",
                            strText.c_str());
                return false;
            }
            program.nVersionLine = line.nLine;
            bVersion = true;
            continue;
        }
        parser.Parse(line.nLine, strMnemonic, SplitOperands(strRest));
    }
    if (!bVersion)
        AddAsmError(errors, nLastLine, "the program has no version (vs_1_1, vs_2_0 or ps_2_0)");
    return errors.size() == nErrors;
}
