#include "device/StateTables.h"

#include <bit>
#include <cstdio>

namespace
{
constexpr DWORD FloatBits(float value)
{
    return std::bit_cast<DWORD>(value);
}

constexpr ValueName g_Bool[] = {{FALSE, "FALSE"}, {TRUE, "TRUE"}};
constexpr ValueName g_ZBuffer[] = {{D3DZB_FALSE, "FALSE"}, {D3DZB_TRUE, "TRUE"}, {D3DZB_USEW, "USEW"}};
constexpr ValueName g_Fill[] = {{D3DFILL_POINT, "POINT"}, {D3DFILL_WIREFRAME, "WIREFRAME"}, {D3DFILL_SOLID, "SOLID"}};
constexpr ValueName g_Shade[] = {{D3DSHADE_FLAT, "FLAT"}, {D3DSHADE_GOURAUD, "GOURAUD"}, {D3DSHADE_PHONG, "PHONG"}};
constexpr ValueName g_Cull[] = {{D3DCULL_NONE, "NONE"}, {D3DCULL_CW, "CW"}, {D3DCULL_CCW, "CCW"}};
constexpr ValueName g_Cmp[] = {{D3DCMP_NEVER, "NEVER"},         {D3DCMP_LESS, "LESS"},
                               {D3DCMP_EQUAL, "EQUAL"},         {D3DCMP_LESSEQUAL, "LESSEQUAL"},
                               {D3DCMP_GREATER, "GREATER"},     {D3DCMP_NOTEQUAL, "NOTEQUAL"},
                               {D3DCMP_GREATEREQUAL, "GREATEREQUAL"}, {D3DCMP_ALWAYS, "ALWAYS"}};
constexpr ValueName g_Blend[] = {
    {D3DBLEND_ZERO, "ZERO"},           {D3DBLEND_ONE, "ONE"},
    {D3DBLEND_SRCCOLOR, "SRCCOLOR"},   {D3DBLEND_INVSRCCOLOR, "INVSRCCOLOR"},
    {D3DBLEND_SRCALPHA, "SRCALPHA"},   {D3DBLEND_INVSRCALPHA, "INVSRCALPHA"},
    {D3DBLEND_DESTALPHA, "DESTALPHA"}, {D3DBLEND_INVDESTALPHA, "INVDESTALPHA"},
    {D3DBLEND_DESTCOLOR, "DESTCOLOR"}, {D3DBLEND_INVDESTCOLOR, "INVDESTCOLOR"},
    {D3DBLEND_SRCALPHASAT, "SRCALPHASAT"}, {D3DBLEND_BOTHSRCALPHA, "BOTHSRCALPHA"},
    {D3DBLEND_BOTHINVSRCALPHA, "BOTHINVSRCALPHA"}, {D3DBLEND_BLENDFACTOR, "BLENDFACTOR"},
    {D3DBLEND_INVBLENDFACTOR, "INVBLENDFACTOR"}};
constexpr ValueName g_BlendOp[] = {{D3DBLENDOP_ADD, "ADD"},
                                   {D3DBLENDOP_SUBTRACT, "SUBTRACT"},
                                   {D3DBLENDOP_REVSUBTRACT, "REVSUBTRACT"},
                                   {D3DBLENDOP_MIN, "MIN"},
                                   {D3DBLENDOP_MAX, "MAX"}};
constexpr ValueName g_StencilOp[] = {{D3DSTENCILOP_KEEP, "KEEP"},       {D3DSTENCILOP_ZERO, "ZERO"},
                                     {D3DSTENCILOP_REPLACE, "REPLACE"}, {D3DSTENCILOP_INCRSAT, "INCRSAT"},
                                     {D3DSTENCILOP_DECRSAT, "DECRSAT"}, {D3DSTENCILOP_INVERT, "INVERT"},
                                     {D3DSTENCILOP_INCR, "INCR"},       {D3DSTENCILOP_DECR, "DECR"}};
constexpr ValueName g_Fog[] = {{D3DFOG_NONE, "NONE"}, {D3DFOG_EXP, "EXP"}, {D3DFOG_EXP2, "EXP2"}, {D3DFOG_LINEAR, "LINEAR"}};
constexpr ValueName g_Mcs[] = {{D3DMCS_MATERIAL, "MATERIAL"}, {D3DMCS_COLOR1, "COLOR1"}, {D3DMCS_COLOR2, "COLOR2"}};
constexpr ValueName g_VertexBlend[] = {{D3DVBF_DISABLE, "DISABLE"},   {D3DVBF_1WEIGHTS, "1WEIGHTS"},
                                       {D3DVBF_2WEIGHTS, "2WEIGHTS"}, {D3DVBF_3WEIGHTS, "3WEIGHTS"},
                                       {D3DVBF_TWEENING, "TWEENING"}, {D3DVBF_0WEIGHTS, "0WEIGHTS"}};
constexpr ValueName g_Address[] = {{D3DTADDRESS_WRAP, "WRAP"},
                                   {D3DTADDRESS_MIRROR, "MIRROR"},
                                   {D3DTADDRESS_CLAMP, "CLAMP"},
                                   {D3DTADDRESS_BORDER, "BORDER"},
                                   {D3DTADDRESS_MIRRORONCE, "MIRRORONCE"}};
constexpr ValueName g_Filter[] = {{D3DTEXF_NONE, "NONE"},
                                  {D3DTEXF_POINT, "POINT"},
                                  {D3DTEXF_LINEAR, "LINEAR"},
                                  {D3DTEXF_ANISOTROPIC, "ANISOTROPIC"},
                                  {D3DTEXF_PYRAMIDALQUAD, "PYRAMIDALQUAD"},
                                  {D3DTEXF_GAUSSIANQUAD, "GAUSSIANQUAD"}};
constexpr ValueName g_TextureOp[] = {
    {D3DTOP_DISABLE, "DISABLE"},
    {D3DTOP_SELECTARG1, "SELECTARG1"},
    {D3DTOP_SELECTARG2, "SELECTARG2"},
    {D3DTOP_MODULATE, "MODULATE"},
    {D3DTOP_MODULATE2X, "MODULATE2X"},
    {D3DTOP_MODULATE4X, "MODULATE4X"},
    {D3DTOP_ADD, "ADD"},
    {D3DTOP_ADDSIGNED, "ADDSIGNED"},
    {D3DTOP_ADDSIGNED2X, "ADDSIGNED2X"},
    {D3DTOP_SUBTRACT, "SUBTRACT"},
    {D3DTOP_ADDSMOOTH, "ADDSMOOTH"},
    {D3DTOP_BLENDDIFFUSEALPHA, "BLENDDIFFUSEALPHA"},
    {D3DTOP_BLENDTEXTUREALPHA, "BLENDTEXTUREALPHA"},
    {D3DTOP_BLENDFACTORALPHA, "BLENDFACTORALPHA"},
    {D3DTOP_BLENDTEXTUREALPHAPM, "BLENDTEXTUREALPHAPM"},
    {D3DTOP_BLENDCURRENTALPHA, "BLENDCURRENTALPHA"},
    {D3DTOP_PREMODULATE, "PREMODULATE"},
    {D3DTOP_MODULATEALPHA_ADDCOLOR, "MODULATEALPHA_ADDCOLOR"},
    {D3DTOP_MODULATECOLOR_ADDALPHA, "MODULATECOLOR_ADDALPHA"},
    {D3DTOP_MODULATEINVALPHA_ADDCOLOR, "MODULATEINVALPHA_ADDCOLOR"},
    {D3DTOP_MODULATEINVCOLOR_ADDALPHA, "MODULATEINVCOLOR_ADDALPHA"},
    {D3DTOP_BUMPENVMAP, "BUMPENVMAP"},
    {D3DTOP_BUMPENVMAPLUMINANCE, "BUMPENVMAPLUMINANCE"},
    {D3DTOP_DOTPRODUCT3, "DOTPRODUCT3"},
    {D3DTOP_MULTIPLYADD, "MULTIPLYADD"},
    {D3DTOP_LERP, "LERP"}};
// Arguments are shown by their selector; modifier bits show as a number.
constexpr ValueName g_TextureArg[] = {{D3DTA_DIFFUSE, "DIFFUSE"}, {D3DTA_CURRENT, "CURRENT"},
                                      {D3DTA_TEXTURE, "TEXTURE"}, {D3DTA_TFACTOR, "TFACTOR"},
                                      {D3DTA_SPECULAR, "SPECULAR"}, {D3DTA_TEMP, "TEMP"},
                                      {D3DTA_CONSTANT, "CONSTANT"}};
constexpr ValueName g_TransformFlags[] = {{D3DTTFF_DISABLE, "DISABLE"}, {D3DTTFF_COUNT1, "COUNT1"},
                                          {D3DTTFF_COUNT2, "COUNT2"},   {D3DTTFF_COUNT3, "COUNT3"},
                                          {D3DTTFF_COUNT4, "COUNT4"},   {D3DTTFF_PROJECTED, "PROJECTED"}};

// Defaults from the public documentation of each state. ZENABLE's default depends on the
// auto depth-stencil surface; the device fills it at creation.
constexpr StateInfo g_RenderStates[] = {
    {D3DRS_ZENABLE, "ZENABLE", D3DZB_FALSE, g_ZBuffer},
    {D3DRS_FILLMODE, "FILLMODE", D3DFILL_SOLID, g_Fill},
    {D3DRS_SHADEMODE, "SHADEMODE", D3DSHADE_GOURAUD, g_Shade},
    {D3DRS_ZWRITEENABLE, "ZWRITEENABLE", TRUE, g_Bool},
    {D3DRS_ALPHATESTENABLE, "ALPHATESTENABLE", FALSE, g_Bool},
    {D3DRS_LASTPIXEL, "LASTPIXEL", TRUE, g_Bool},
    {D3DRS_SRCBLEND, "SRCBLEND", D3DBLEND_ONE, g_Blend},
    {D3DRS_DESTBLEND, "DESTBLEND", D3DBLEND_ZERO, g_Blend},
    {D3DRS_CULLMODE, "CULLMODE", D3DCULL_CCW, g_Cull},
    {D3DRS_ZFUNC, "ZFUNC", D3DCMP_LESSEQUAL, g_Cmp},
    {D3DRS_ALPHAREF, "ALPHAREF", 0, {}},
    {D3DRS_ALPHAFUNC, "ALPHAFUNC", D3DCMP_ALWAYS, g_Cmp},
    {D3DRS_DITHERENABLE, "DITHERENABLE", FALSE, g_Bool},
    {D3DRS_ALPHABLENDENABLE, "ALPHABLENDENABLE", FALSE, g_Bool},
    {D3DRS_FOGENABLE, "FOGENABLE", FALSE, g_Bool},
    {D3DRS_SPECULARENABLE, "SPECULARENABLE", FALSE, g_Bool},
    {D3DRS_FOGCOLOR, "FOGCOLOR", 0, {}},
    {D3DRS_FOGTABLEMODE, "FOGTABLEMODE", D3DFOG_NONE, g_Fog},
    {D3DRS_FOGSTART, "FOGSTART", FloatBits(0.0f), {}},
    {D3DRS_FOGEND, "FOGEND", FloatBits(1.0f), {}},
    {D3DRS_FOGDENSITY, "FOGDENSITY", FloatBits(1.0f), {}},
    {D3DRS_RANGEFOGENABLE, "RANGEFOGENABLE", FALSE, g_Bool},
    {D3DRS_STENCILENABLE, "STENCILENABLE", FALSE, g_Bool},
    {D3DRS_STENCILFAIL, "STENCILFAIL", D3DSTENCILOP_KEEP, g_StencilOp},
    {D3DRS_STENCILZFAIL, "STENCILZFAIL", D3DSTENCILOP_KEEP, g_StencilOp},
    {D3DRS_STENCILPASS, "STENCILPASS", D3DSTENCILOP_KEEP, g_StencilOp},
    {D3DRS_STENCILFUNC, "STENCILFUNC", D3DCMP_ALWAYS, g_Cmp},
    {D3DRS_STENCILREF, "STENCILREF", 0, {}},
    {D3DRS_STENCILMASK, "STENCILMASK", 0xFFFFFFFF, {}},
    {D3DRS_STENCILWRITEMASK, "STENCILWRITEMASK", 0xFFFFFFFF, {}},
    {D3DRS_TEXTUREFACTOR, "TEXTUREFACTOR", 0xFFFFFFFF, {}},
    {D3DRS_WRAP0, "WRAP0", 0, {}},
    {D3DRS_WRAP1, "WRAP1", 0, {}},
    {D3DRS_WRAP2, "WRAP2", 0, {}},
    {D3DRS_WRAP3, "WRAP3", 0, {}},
    {D3DRS_WRAP4, "WRAP4", 0, {}},
    {D3DRS_WRAP5, "WRAP5", 0, {}},
    {D3DRS_WRAP6, "WRAP6", 0, {}},
    {D3DRS_WRAP7, "WRAP7", 0, {}},
    {D3DRS_CLIPPING, "CLIPPING", TRUE, g_Bool},
    {D3DRS_LIGHTING, "LIGHTING", TRUE, g_Bool},
    {D3DRS_AMBIENT, "AMBIENT", 0, {}},
    {D3DRS_FOGVERTEXMODE, "FOGVERTEXMODE", D3DFOG_NONE, g_Fog},
    {D3DRS_COLORVERTEX, "COLORVERTEX", TRUE, g_Bool},
    {D3DRS_LOCALVIEWER, "LOCALVIEWER", TRUE, g_Bool},
    {D3DRS_NORMALIZENORMALS, "NORMALIZENORMALS", FALSE, g_Bool},
    {D3DRS_DIFFUSEMATERIALSOURCE, "DIFFUSEMATERIALSOURCE", D3DMCS_COLOR1, g_Mcs},
    {D3DRS_SPECULARMATERIALSOURCE, "SPECULARMATERIALSOURCE", D3DMCS_COLOR2, g_Mcs},
    {D3DRS_AMBIENTMATERIALSOURCE, "AMBIENTMATERIALSOURCE", D3DMCS_MATERIAL, g_Mcs},
    {D3DRS_EMISSIVEMATERIALSOURCE, "EMISSIVEMATERIALSOURCE", D3DMCS_MATERIAL, g_Mcs},
    {D3DRS_VERTEXBLEND, "VERTEXBLEND", D3DVBF_DISABLE, g_VertexBlend},
    {D3DRS_CLIPPLANEENABLE, "CLIPPLANEENABLE", 0, {}},
    {D3DRS_POINTSIZE, "POINTSIZE", FloatBits(1.0f), {}},
    {D3DRS_POINTSIZE_MIN, "POINTSIZE_MIN", FloatBits(1.0f), {}},
    {D3DRS_POINTSPRITEENABLE, "POINTSPRITEENABLE", FALSE, g_Bool},
    {D3DRS_POINTSCALEENABLE, "POINTSCALEENABLE", FALSE, g_Bool},
    {D3DRS_POINTSCALE_A, "POINTSCALE_A", FloatBits(1.0f), {}},
    {D3DRS_POINTSCALE_B, "POINTSCALE_B", FloatBits(0.0f), {}},
    {D3DRS_POINTSCALE_C, "POINTSCALE_C", FloatBits(0.0f), {}},
    {D3DRS_MULTISAMPLEANTIALIAS, "MULTISAMPLEANTIALIAS", TRUE, g_Bool},
    {D3DRS_MULTISAMPLEMASK, "MULTISAMPLEMASK", 0xFFFFFFFF, {}},
    {D3DRS_PATCHEDGESTYLE, "PATCHEDGESTYLE", D3DPATCHEDGE_DISCRETE, {}},
    {D3DRS_DEBUGMONITORTOKEN, "DEBUGMONITORTOKEN", 0, {}},
    {D3DRS_POINTSIZE_MAX, "POINTSIZE_MAX", FloatBits(64.0f), {}},
    {D3DRS_INDEXEDVERTEXBLENDENABLE, "INDEXEDVERTEXBLENDENABLE", FALSE, g_Bool},
    {D3DRS_COLORWRITEENABLE, "COLORWRITEENABLE", 0xF, {}},
    {D3DRS_TWEENFACTOR, "TWEENFACTOR", FloatBits(0.0f), {}},
    {D3DRS_BLENDOP, "BLENDOP", D3DBLENDOP_ADD, g_BlendOp},
    {D3DRS_POSITIONDEGREE, "POSITIONDEGREE", D3DDEGREE_CUBIC, {}},
    {D3DRS_NORMALDEGREE, "NORMALDEGREE", D3DDEGREE_LINEAR, {}},
    {D3DRS_SCISSORTESTENABLE, "SCISSORTESTENABLE", FALSE, g_Bool},
    {D3DRS_SLOPESCALEDEPTHBIAS, "SLOPESCALEDEPTHBIAS", 0, {}},
    {D3DRS_ANTIALIASEDLINEENABLE, "ANTIALIASEDLINEENABLE", FALSE, g_Bool},
    {D3DRS_MINTESSELLATIONLEVEL, "MINTESSELLATIONLEVEL", FloatBits(1.0f), {}},
    {D3DRS_MAXTESSELLATIONLEVEL, "MAXTESSELLATIONLEVEL", FloatBits(1.0f), {}},
    {D3DRS_ADAPTIVETESS_X, "ADAPTIVETESS_X", FloatBits(0.0f), {}},
    {D3DRS_ADAPTIVETESS_Y, "ADAPTIVETESS_Y", FloatBits(0.0f), {}},
    {D3DRS_ADAPTIVETESS_Z, "ADAPTIVETESS_Z", FloatBits(1.0f), {}},
    {D3DRS_ADAPTIVETESS_W, "ADAPTIVETESS_W", FloatBits(0.0f), {}},
    {D3DRS_ENABLEADAPTIVETESSELLATION, "ENABLEADAPTIVETESSELLATION", FALSE, g_Bool},
    {D3DRS_TWOSIDEDSTENCILMODE, "TWOSIDEDSTENCILMODE", FALSE, g_Bool},
    {D3DRS_CCW_STENCILFAIL, "CCW_STENCILFAIL", D3DSTENCILOP_KEEP, g_StencilOp},
    {D3DRS_CCW_STENCILZFAIL, "CCW_STENCILZFAIL", D3DSTENCILOP_KEEP, g_StencilOp},
    {D3DRS_CCW_STENCILPASS, "CCW_STENCILPASS", D3DSTENCILOP_KEEP, g_StencilOp},
    {D3DRS_CCW_STENCILFUNC, "CCW_STENCILFUNC", D3DCMP_ALWAYS, g_Cmp},
    {D3DRS_COLORWRITEENABLE1, "COLORWRITEENABLE1", 0xF, {}},
    {D3DRS_COLORWRITEENABLE2, "COLORWRITEENABLE2", 0xF, {}},
    {D3DRS_COLORWRITEENABLE3, "COLORWRITEENABLE3", 0xF, {}},
    {D3DRS_BLENDFACTOR, "BLENDFACTOR", 0xFFFFFFFF, {}},
    {D3DRS_SRGBWRITEENABLE, "SRGBWRITEENABLE", FALSE, g_Bool},
    {D3DRS_DEPTHBIAS, "DEPTHBIAS", 0, {}},
    {D3DRS_WRAP8, "WRAP8", 0, {}},
    {D3DRS_WRAP9, "WRAP9", 0, {}},
    {D3DRS_WRAP10, "WRAP10", 0, {}},
    {D3DRS_WRAP11, "WRAP11", 0, {}},
    {D3DRS_WRAP12, "WRAP12", 0, {}},
    {D3DRS_WRAP13, "WRAP13", 0, {}},
    {D3DRS_WRAP14, "WRAP14", 0, {}},
    {D3DRS_WRAP15, "WRAP15", 0, {}},
    {D3DRS_SEPARATEALPHABLENDENABLE, "SEPARATEALPHABLENDENABLE", FALSE, g_Bool},
    {D3DRS_SRCBLENDALPHA, "SRCBLENDALPHA", D3DBLEND_ONE, g_Blend},
    {D3DRS_DESTBLENDALPHA, "DESTBLENDALPHA", D3DBLEND_ZERO, g_Blend},
    {D3DRS_BLENDOPALPHA, "BLENDOPALPHA", D3DBLENDOP_ADD, g_BlendOp},
};

constexpr StateInfo g_SamplerStates[] = {
    {D3DSAMP_ADDRESSU, "ADDRESSU", D3DTADDRESS_WRAP, g_Address},
    {D3DSAMP_ADDRESSV, "ADDRESSV", D3DTADDRESS_WRAP, g_Address},
    {D3DSAMP_ADDRESSW, "ADDRESSW", D3DTADDRESS_WRAP, g_Address},
    {D3DSAMP_BORDERCOLOR, "BORDERCOLOR", 0, {}},
    {D3DSAMP_MAGFILTER, "MAGFILTER", D3DTEXF_POINT, g_Filter},
    {D3DSAMP_MINFILTER, "MINFILTER", D3DTEXF_POINT, g_Filter},
    {D3DSAMP_MIPFILTER, "MIPFILTER", D3DTEXF_NONE, g_Filter},
    {D3DSAMP_MIPMAPLODBIAS, "MIPMAPLODBIAS", 0, {}},
    {D3DSAMP_MAXMIPLEVEL, "MAXMIPLEVEL", 0, {}},
    {D3DSAMP_MAXANISOTROPY, "MAXANISOTROPY", 1, {}},
    {D3DSAMP_SRGBTEXTURE, "SRGBTEXTURE", 0, {}},
    {D3DSAMP_ELEMENTINDEX, "ELEMENTINDEX", 0, {}},
    {D3DSAMP_DMAPOFFSET, "DMAPOFFSET", 0, {}},
};

// Stage 0's COLOROP and ALPHAOP defaults; stages 1+ default to DISABLE and TEXCOORDINDEX to
// the stage number (the device applies both).
constexpr StateInfo g_StageStates[] = {
    {D3DTSS_COLOROP, "COLOROP", D3DTOP_MODULATE, g_TextureOp},
    {D3DTSS_COLORARG1, "COLORARG1", D3DTA_TEXTURE, g_TextureArg},
    {D3DTSS_COLORARG2, "COLORARG2", D3DTA_CURRENT, g_TextureArg},
    {D3DTSS_ALPHAOP, "ALPHAOP", D3DTOP_SELECTARG1, g_TextureOp},
    {D3DTSS_ALPHAARG1, "ALPHAARG1", D3DTA_TEXTURE, g_TextureArg},
    {D3DTSS_ALPHAARG2, "ALPHAARG2", D3DTA_CURRENT, g_TextureArg},
    {D3DTSS_BUMPENVMAT00, "BUMPENVMAT00", 0, {}},
    {D3DTSS_BUMPENVMAT01, "BUMPENVMAT01", 0, {}},
    {D3DTSS_BUMPENVMAT10, "BUMPENVMAT10", 0, {}},
    {D3DTSS_BUMPENVMAT11, "BUMPENVMAT11", 0, {}},
    {D3DTSS_TEXCOORDINDEX, "TEXCOORDINDEX", 0, {}},
    {D3DTSS_BUMPENVLSCALE, "BUMPENVLSCALE", 0, {}},
    {D3DTSS_BUMPENVLOFFSET, "BUMPENVLOFFSET", 0, {}},
    {D3DTSS_TEXTURETRANSFORMFLAGS, "TEXTURETRANSFORMFLAGS", D3DTTFF_DISABLE, g_TransformFlags},
    {D3DTSS_COLORARG0, "COLORARG0", D3DTA_CURRENT, g_TextureArg},
    {D3DTSS_ALPHAARG0, "ALPHAARG0", D3DTA_CURRENT, g_TextureArg},
    {D3DTSS_RESULTARG, "RESULTARG", D3DTA_CURRENT, g_TextureArg},
    {D3DTSS_CONSTANT, "CONSTANT", 0, {}},
};

const StateInfo* Find(std::span<const StateInfo> table, DWORD state)
{
    for (const StateInfo& info : table)
        if (info.nState == state)
            return &info;
    return nullptr;
}

std::string Number(DWORD value)
{
    char text[16];
    std::snprintf(text, sizeof(text), value > 0xFFFF ? "0x%X" : "%u", value);
    return text;
}

std::string NameOr(const StateInfo* pInfo, DWORD state)
{
    return pInfo ? pInfo->szName : Number(state);
}

struct FlagName
{
    DWORD nFlag;
    const char* szName;
};

std::string FlagsText(std::span<const FlagName> names, DWORD flags)
{
    if (flags == 0)
        return "0";
    std::string text;
    for (const FlagName& name : names)
        if (flags & name.nFlag)
        {
            text += text.empty() ? "" : "|";
            text += name.szName;
            flags &= ~name.nFlag;
        }
    if (flags)
        text += (text.empty() ? "" : "|") + Number(flags);
    return text;
}

std::string Lookup(std::span<const ValueName> names, DWORD value)
{
    for (const ValueName& name : names)
        if (name.nValue == value)
            return name.szName;
    return Number(value);
}
}  // namespace

std::span<const StateInfo> RenderStateTable()
{
    return g_RenderStates;
}

std::span<const StateInfo> SamplerStateTable()
{
    return g_SamplerStates;
}

std::span<const StateInfo> StageStateTable()
{
    return g_StageStates;
}

const StateInfo* FindRenderState(DWORD state)
{
    return Find(g_RenderStates, state);
}

const StateInfo* FindSamplerState(DWORD state)
{
    return Find(g_SamplerStates, state);
}

const StateInfo* FindStageState(DWORD state)
{
    return Find(g_StageStates, state);
}

std::string RenderStateName(DWORD state)
{
    return NameOr(FindRenderState(state), state);
}

std::string SamplerStateName(DWORD state)
{
    return NameOr(FindSamplerState(state), state);
}

std::string StageStateName(DWORD state)
{
    return NameOr(FindStageState(state), state);
}

std::string StateValueText(const StateInfo* pInfo, DWORD value)
{
    if (!pInfo || pInfo->values.empty())
        return Number(value);
    return Lookup(pInfo->values, value);
}

std::string TransformName(DWORD state)
{
    static constexpr ValueName names[] = {{D3DTS_VIEW, "VIEW"}, {D3DTS_PROJECTION, "PROJECTION"}, {256, "WORLD"},
                                          {257, "WORLD1"},      {258, "WORLD2"},                  {259, "WORLD3"}};
    if (state >= D3DTS_TEXTURE0 && state <= D3DTS_TEXTURE7)
        return "TEXTURE" + std::to_string(state - D3DTS_TEXTURE0);
    return Lookup(names, state);
}

std::string PrimitiveName(DWORD type)
{
    static constexpr ValueName names[] = {{D3DPT_POINTLIST, "POINTLIST"},         {D3DPT_LINELIST, "LINELIST"},
                                          {D3DPT_LINESTRIP, "LINESTRIP"},         {D3DPT_TRIANGLELIST, "TRIANGLELIST"},
                                          {D3DPT_TRIANGLESTRIP, "TRIANGLESTRIP"}, {D3DPT_TRIANGLEFAN, "TRIANGLEFAN"}};
    return Lookup(names, type);
}

std::string PoolName(DWORD pool)
{
    static constexpr ValueName names[] = {{D3DPOOL_DEFAULT, "DEFAULT"},
                                          {D3DPOOL_MANAGED, "MANAGED"},
                                          {D3DPOOL_SYSTEMMEM, "SYSTEMMEM"},
                                          {D3DPOOL_SCRATCH, "SCRATCH"}};
    return Lookup(names, pool);
}

std::string UsageText(DWORD usage)
{
    static constexpr FlagName names[] = {{D3DUSAGE_RENDERTARGET, "RENDERTARGET"},
                                         {D3DUSAGE_DEPTHSTENCIL, "DEPTHSTENCIL"},
                                         {D3DUSAGE_WRITEONLY, "WRITEONLY"},
                                         {D3DUSAGE_DYNAMIC, "DYNAMIC"}};
    return FlagsText(names, usage);
}

std::string LockFlagsText(DWORD flags)
{
    static constexpr FlagName names[] = {{D3DLOCK_READONLY, "READONLY"},
                                         {D3DLOCK_DISCARD, "DISCARD"},
                                         {D3DLOCK_NOOVERWRITE, "NOOVERWRITE"},
                                         {D3DLOCK_NOSYSLOCK, "NOSYSLOCK"}};
    return FlagsText(names, flags);
}

std::string ClearFlagsText(DWORD flags)
{
    static constexpr FlagName names[] = {
        {D3DCLEAR_TARGET, "TARGET"}, {D3DCLEAR_ZBUFFER, "ZBUFFER"}, {D3DCLEAR_STENCIL, "STENCIL"}};
    return FlagsText(names, flags);
}

std::string FvfText(DWORD fvf)
{
    char text[16];
    std::snprintf(text, sizeof(text), "0x%X", fvf);
    return text;
}
