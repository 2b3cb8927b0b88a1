// The application's console commands: the camera's position and angles (framework) and the
// graphics device's identity (device layer). The main window runs its own commands first and
// hands every other line here.
#include "app/ApplicationBase.h"
#include "app/Direct3DApplication.h"

#include "core/Tokenizer.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace
{
// The three numbers of "setpos" and "setangles": each is the current token, or "-" and the token
// after it negated; a "," after the first and the second is skipped. At the end of the line the
// tokenizer keeps its last token, so "setangles 0.5" gives 0.5 three times. False, with nothing
// read, when a number is missing or is not one.
bool ReadThreeNumbers(Tokenizer& tokenizer, float (&values)[3])
{
    char szToken[TOKEN_BUFFER_SIZE] = "";
    tokenizer.NextToken(szToken, sizeof(szToken), IsIdentifierChar);   // the command
    tokenizer.NextToken(szToken, sizeof(szToken), IsIdentifierChar);
    for (int i = 0; i < 3; ++i)
    {
        float fSign = 1.0f;
        if (std::strcmp(szToken, "-") == 0)
        {
            if (!tokenizer.NextToken(szToken, sizeof(szToken), IsIdentifierChar))
                return false;
            fSign = -1.0f;
        }
        if (!IsDigitChar(szToken[0]))
            return false;
        values[i] = fSign * static_cast<float>(std::atof(szToken));
        if (i < 2)
        {
            tokenizer.NextToken(szToken, sizeof(szToken), IsIdentifierChar);
            if (std::strcmp(szToken, ",") == 0)
                tokenizer.NextToken(szToken, sizeof(szToken), IsIdentifierChar);
        }
    }
    return true;
}

bool FirstWord(const char* szLine, char (&szWord)[TOKEN_BUFFER_SIZE])
{
    Tokenizer tokenizer;
    tokenizer.SetText(szLine);
    return tokenizer.NextToken(szWord, sizeof(szWord), IsIdentifierChar);
}

void AppendVector(String& result, const Vector3& v)
{
    result.AppendFormat("(%f, %f, %f)", static_cast<double>(v.x), static_cast<double>(v.y), static_cast<double>(v.z));
}
}

bool ApplicationBase::ConsoleCommand(const char* szLine, String& result)
{
    char szCommand[TOKEN_BUFFER_SIZE] = "";
    if (!FirstWord(szLine, szCommand))
        return false;
    const bool bSetPos = strcasecmp(szCommand, "setpos") == 0;
    if (bSetPos || strcasecmp(szCommand, "setangles") == 0)
    {
        Tokenizer tokenizer;
        tokenizer.SetText(szLine);
        float values[3] = {};
        if (!ReadThreeNumbers(tokenizer, values))
        {
            result += bSetPos ? "Usage: setpos x, y, z" : "Usage: setangles x, y, z";
            return true;
        }
        (bSetPos ? m_vCameraPosition : m_vCameraAngles) = Vector3(values[0], values[1], values[2]);
        return true;
    }
    if (strcasecmp(szCommand, "pos") == 0)
        AppendVector(result, m_vCameraPosition);
    else if (strcasecmp(szCommand, "angles") == 0)
        AppendVector(result, m_vCameraAngles);
    else
        return false;
    return true;
}

bool Direct3DApplication::ConsoleCommand(const char* szLine, String& result)
{
    char szCommand[TOKEN_BUFFER_SIZE] = "";
    FirstWord(szLine, szCommand);
    const bool bVendor = strcasecmp(szCommand, "vendor") == 0;
    const bool bRenderer = strcasecmp(szCommand, "renderer") == 0;
    const bool bVersion = strcasecmp(szCommand, "version") == 0;
    if (!bVendor && !bRenderer && !bVersion)
        return ApplicationBase::ConsoleCommand(szLine, result);
    D3DADAPTER_IDENTIFIER9 identifier{};
    if (!m_pD3D || FAILED(m_pD3D->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0, &identifier)))
    {
        result = "No graphics device.";
        return true;
    }
    if (bVendor)
        result = identifier.DeviceName;
    else if (bRenderer)
        result = identifier.Description;
    else
    {
        const uint64_t nVersion = static_cast<uint64_t>(identifier.DriverVersion.QuadPart);
        const uint32_t nHigh = static_cast<uint32_t>(nVersion >> 32);
        const uint32_t nLow = static_cast<uint32_t>(nVersion);
        result.AppendFormat("%d.%d.%d.%d", static_cast<int>(nHigh >> 16), static_cast<int>(nHigh & 0xFFFF),
                            static_cast<int>(nLow >> 16), static_cast<int>(nLow & 0xFFFF));
    }
    return true;
}
