#pragma once
// The program bench: runs one program on chosen inputs, constants and textures through the
// device's own executor and returns its outputs, with no rasterisation.
#include "cpu/shader/ShaderExecutor.h"

#include <string>
#include <vector>

class ShaderSampler;
struct IDirect3DPixelShader9;
struct IDirect3DVertexShader9;

struct PixelQuadInput
{
    float t[8][4][4] = {};    // t0-t7: [register][pixel][component]; pixels top-left, top-right, bottom-left, bottom-right
    float v[2][4][4] = {};    // v0-v1
};

struct PixelQuadOutput
{
    float oC[4][4][4] = {};   // [register][pixel][component]
    float oDepth[4] = {};
    bool bKilled[4] = {};
    unsigned nColorMask = 0;  // bit n set when the program writes oCn
    bool bDepth = false;
};

// Runs a pixel program on one 2x2 quad. pConstants holds 4 floats per register c0 ... (may be
// null). False, with the reason in *pError when given, if the tokens do not form a program the
// device runs.
bool RunPixelProgram(const std::vector<DWORD>& tokens, const float* pConstants, unsigned nConstants,
                     ShaderSampler* pSampler, const PixelQuadInput& input, PixelQuadOutput& output,
                     std::string* pError = nullptr);

struct VertexBlockOutput
{
    // By ShaderOutputIndex: oPos, oFog, oPts, oD0, oD1, oT0 ... oT7; 4 floats per vertex.
    std::vector<float> outputs[SHADER_OUTPUT_COUNT];
    unsigned nWrittenMask = 0;   // bit n set when the program writes output n
};

// Runs a vertex program on nVertices vertices; pInputs[n] holds 4 floats per vertex for vn
// (null reads (0, 0, 0, 1)).
bool RunVertexProgram(const std::vector<DWORD>& tokens, const float* pConstants, unsigned nConstants,
                      const float* const pInputs[16], unsigned nVertices, VertexBlockOutput& output,
                      std::string* pError = nullptr);

// The same for shader objects of a device: the plan is built from the object's own tokens
// (GetFunction), as the device built it at creation.
bool RunPixelProgram(IDirect3DPixelShader9* pShader, const float* pConstants, unsigned nConstants,
                     ShaderSampler* pSampler, const PixelQuadInput& input, PixelQuadOutput& output,
                     std::string* pError = nullptr);
bool RunVertexProgram(IDirect3DVertexShader9* pShader, const float* pConstants, unsigned nConstants,
                      const float* const pInputs[16], unsigned nVertices, VertexBlockOutput& output,
                      std::string* pError = nullptr);
