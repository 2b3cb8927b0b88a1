#include "3dapi/Profile.h"

#include "3dapi/DisplayModel.h"
#include "core/Log.h"
#include "morvyn/morvyn.h"

#include <win32/user.h>
#include <win32/winbase.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

Profile g_Profile;

namespace
{
constexpr size_t kValueSize = 260;

struct ShipKey
{
    const char* szKey;
    const char* szDefault;
    float ShipSettings::*pField;
};
constexpr ShipKey kShipKeys[] = {
    {"ShowDelay", "2.0", &ShipSettings::ShowDelay},
    {"AccelFactor", "5.0", &ShipSettings::AccelFactor},
    {"DecelFactor", "0.5", &ShipSettings::DecelFactor},
    {"SpeedFactor", "2.5", &ShipSettings::SpeedFactor},
    {"RollDecelFactor", "0.9", &ShipSettings::RollDecelFactor},
    {"StartX", "0.0", &ShipSettings::StartX},
    {"StartY", "0.0", &ShipSettings::StartY},
    {"StartZ", "0.0", &ShipSettings::StartZ},
    {"MaxSlope", "2.0", &ShipSettings::MaxSlope},
    {"FollowTerrianStartHeight", "10.0", &ShipSettings::FollowTerrianStartHeight},
    {"FollowTerrianOffset", "10.0", &ShipSettings::FollowTerrianOffset},
    {"MinHeight", "20.0", &ShipSettings::MinHeight},
    {"FallRate", "5.0", &ShipSettings::FallRate},
    {"RiseRate", "50.0", &ShipSettings::RiseRate},
    {"Mass", "5.0", &ShipSettings::Mass},
    {"MaxShield", "100.0", &ShipSettings::MaxShield},
};

// The GLOBAL values from LoadAudio to FogEnd, in the order they are read.
struct GlobalKey
{
    const char* szKey;
    const char* szDefault;
    int32_t Profile::*pInt;
    float Profile::*pFloat;
};
constexpr GlobalKey kGlobalKeys[] = {
    {"LoadAudio", "1", &Profile::LoadAudio, nullptr},
    {"RenderSplash", "1", &Profile::RenderSplash, nullptr},
    {"RenderGround", "1", &Profile::RenderGround, nullptr},
    {"RenderSky", "1", &Profile::RenderSky, nullptr},
    {"FullScreen", "0", &Profile::FullScreen, nullptr},
    {"LoadFast", "0", &Profile::LoadFast, nullptr},
    {"RenderRadar", "1", &Profile::RenderRadar, nullptr},
    {"RenderUI", "1", &Profile::RenderUI, nullptr},
    {"RenderEnemies", "1", &Profile::RenderEnemies, nullptr},
    {"RenderParticles", "1", &Profile::RenderParticles, nullptr},
    {"ForceREF", "0", &Profile::ForceREF, nullptr},
    {"ForceSoftwareVP", "0", &Profile::ForceSoftwareVP, nullptr},
    {"ForceHardwareVP", "0", &Profile::ForceHardwareVP, nullptr},
    {"ChangeGunRecharge", "0.5", nullptr, &Profile::ChangeGunRecharge},
    {"DistanceFactor", "1.0", nullptr, &Profile::DistanceFactor},
    {"RolloffFactor", "1.0", nullptr, &Profile::RolloffFactor},
    {"DopplerFactor", "1.0", nullptr, &Profile::DopplerFactor},
    {"NumEnemiesPerLevelScale", "2", &Profile::NumEnemiesPerLevelScale, nullptr},
    {"NumEnemiesBase", "3", &Profile::NumEnemiesBase, nullptr},
    {"FOV", "0.7853", nullptr, &Profile::FOV},
    {"RenderTerrainStyle", "1", &Profile::RenderTerrainStyle, nullptr},
    {"WorldHeight", "3", &Profile::WorldHeight, nullptr},
    {"WorldWidth", "3", &Profile::WorldWidth, nullptr},
    {"RenderText", "1", &Profile::RenderText, nullptr},
    {"GenerateMipMaps", "1", &Profile::GenerateMipMaps, nullptr},
    {"OptimizeMesh", "1", &Profile::OptimizeMesh, nullptr},
    {"CompactMesh", "1", &Profile::CompactMesh, nullptr},
    {"SimplifyMesh", "1", &Profile::SimplifyMesh, nullptr},
    {"SimplifyMeshFactor", "0.25", nullptr, &Profile::SimplifyMeshFactor},
    {"RenderDist", "250.0f", nullptr, &Profile::RenderDist},
    {"ZFarDist", "250.0f", nullptr, &Profile::ZFarDist},
    {"FogStart", "80.0f", nullptr, &Profile::FogStart},
    {"FogEnd", "300.0f", nullptr, &Profile::FogEnd},
};

// A text mapped to its number; fields keep their value for any other text.
struct NamedValue
{
    const char* szName;
    int32_t nValue;
};
constexpr NamedValue kCreationTypes[] = {{"FromFile", 1}, {"CreateTest", 2}};
constexpr NamedValue kTextureCreationTypes[] = {
    {"FromFile", 1}, {"CreateTest", 2}, {"CreateFromHeight", 3}, {"FromLayers", 4}};
constexpr NamedValue kMovementTypes[] = {{"None", 1}, {"MoveRandom", 2}, {"MoveTowards", 3}};
constexpr NamedValue kAttackTypes[] = {{"None", 1}};

template <size_t N>
bool MapName(const NamedValue (&table)[N], const char* szText, int32_t& nField)
{
    for (const NamedValue& entry : table)
        if (std::strcmp(entry.szName, szText) == 0)
        {
            nField = entry.nValue;
            return true;
        }
    return false;
}

std::string Numbered(const char* szFormat, int n)
{
    char szKey[64];
    std::snprintf(szKey, sizeof(szKey), szFormat, n);
    return szKey;
}

// Shows the unknown type's message (its text as the caption) and logs it.
void ReportUnknown(const char* szMessage, const char* szText)
{
    LogWarning("Profile::ReadEnemyType() - %s \"%s\".", szMessage, szText);
    MessageBoxA(nullptr, szMessage, szText, MB_OK);
}
}

void SplitColor(DWORD dwColor, float* pRgba)
{
    pRgba[0] = ((dwColor >> 16) & 0xFF) / 255.0f;
    pRgba[1] = ((dwColor >> 8) & 0xFF) / 255.0f;
    pRgba[2] = (dwColor & 0xFF) / 255.0f;
    pRgba[3] = ((dwColor >> 24) & 0xFF) / 255.0f;
}

EnemyType::~EnemyType()
{
    delete m_pModel;
}

ThemeSettings::~ThemeSettings()
{
    delete[] m_pLandTypes;
    delete[] m_pLights;
}

Profile::Profile()
{
    std::memset(m_strFile, 0, sizeof(m_strFile));
    m_Bullet = BulletSettings{};
    m_ExplosionSound = Sound3DSettings{};
    m_Ship = ShipSettings{};
    for (SoundSettings* pSound : {&m_Bullet.Sound, &m_ExplosionSound.Sound})
        pSound->BufferCount = 1;
    for (const GlobalKey& key : kGlobalKeys)
    {
        if (key.pInt)
            this->*key.pInt = 0;
        else
            this->*key.pFloat = 0.0f;
    }
    m_dwNumThemes = 0;
    m_pThemes = nullptr;
    ForceThemeSelect = SelectTheme = 0;
    UITextureMap[0] = SplashTextureMap[0] = AudioScript[0] = '\0';
    m_dwNumEnemyTypes = 0;
    m_pEnemyTypes = nullptr;
    ForceEnemySelect = SelectEnemy = 0;
    std::memset(FTemp, 0, sizeof(FTemp));
    std::memset(NTemp, 0, sizeof(NTemp));
}

Profile::~Profile()
{
    FreeArrays();
}

void Profile::FreeArrays()
{
    delete[] m_pThemes;
    m_pThemes = nullptr;
    m_dwNumThemes = 0;
    delete[] m_pEnemyTypes;
    m_pEnemyTypes = nullptr;
    m_dwNumEnemyTypes = 0;
}

EnemyType* Profile::GetEnemyType(int nIndex) const
{
    if (!m_pEnemyTypes || nIndex < 0 || static_cast<DWORD>(nIndex) >= m_dwNumEnemyTypes)
        return nullptr;
    return &m_pEnemyTypes[nIndex];
}

void Profile::ReadString(const char* szSection, const char* szKey, const char* szDefault, char* szOut)
{
    GetPrivateProfileStringA(szSection, szKey, szDefault, szOut, kValueSize, m_strFile);
}

int32_t Profile::ReadInt(const char* szSection, const char* szKey, const char* szDefault)
{
    char szValue[kValueSize];
    ReadString(szSection, szKey, szDefault, szValue);
    return static_cast<int32_t>(std::strtol(szValue, nullptr, 10));
}

float Profile::ReadFloat(const char* szSection, const char* szKey, const char* szDefault)
{
    char szValue[kValueSize];
    ReadString(szSection, szKey, szDefault, szValue);
    return static_cast<float>(std::strtod(szValue, nullptr));
}

DWORD Profile::ReadHex(const char* szSection, const char* szKey, const char* szDefault)
{
    char szValue[kValueSize];
    ReadString(szSection, szKey, szDefault, szValue);
    unsigned int nValue = 0;
    // A colour must carry the 0x prefix; anything else reads as 0.
    if (std::sscanf(szValue, "0x%x", &nValue) != 1)
        return 0;
    return nValue;
}

DWORD Profile::ReadCount(const char* szSection, const char* szKey, const char* szDefault)
{
    int32_t nCount = ReadInt(szSection, szKey, szDefault);
    if (nCount < 0 || nCount > MAX_RECORDS)
    {
        LogWarning("Profile::Load() - %s %d in [%s] of \"%s\" is cut to 0..%d.", szKey, nCount, szSection, m_strFile,
                   MAX_RECORDS);
        nCount = nCount < 0 ? 0 : MAX_RECORDS;
    }
    return static_cast<DWORD>(nCount);
}

void Profile::ReadSound(const char* szSection, SoundSettings& sound)
{
    ReadString(szSection, "WavFile", "", sound.WavFile);
    char szValue[kValueSize];
    ReadString(szSection, "SampleRateOffset", "0", szValue);
    sound.SampleRateOffset = static_cast<int32_t>(std::atol(szValue));
    ReadString(szSection, "SampleRateDelta", "0", szValue);
    sound.SampleRateDelta = static_cast<int32_t>(std::atol(szValue));
    ReadString(szSection, "Volume", "0", szValue);
    sound.Volume = static_cast<int32_t>(std::atol(szValue));
    ReadString(szSection, "BufferCount", "1", szValue);
    sound.BufferCount = static_cast<int32_t>(std::atol(szValue));
}

void Profile::ReadSound3D(const char* szSection, Sound3DSettings& sound)
{
    ReadSound(szSection, sound.Sound);
    sound.MinDistance = ReadFloat(szSection, "MinDistance", "0.0");
    sound.MaxDistance = ReadFloat(szSection, "MaxDistance", "10.0");
}

void Profile::ReadBullet(const char* szSection, BulletSettings& bullet)
{
    ReadSound(szSection, bullet.Sound);
    bullet.RechargeTime = ReadFloat(szSection, "RechargeTime", "1.0f");
    bullet.Damage = ReadFloat(szSection, "Damage", "10.0f");
    bullet.ExpireCountdown = ReadFloat(szSection, "ExpireCountdown", "5.0f");
    bullet.Speed = ReadFloat(szSection, "Speed", "5.0f");
    bullet.UseParticles = ReadInt(szSection, "UseParticles", "1");
    ReadString(szSection, "ParticleTextureMap", "particle.bmp", bullet.ParticleTextureMap);
    bullet.ParticleRadius = ReadFloat(szSection, "ParticleRadius", "0.03f");
    bullet.NumParticlesToEmit = ReadInt(szSection, "NumParticlesToEmit", "10");
    bullet.ParticleColor = ReadHex(szSection, "ParticleColor", "0xFFFFFFFF");
    bullet.ParticleColorFade = ReadHex(szSection, "ParticleColorFade", "0xFF3030FF");
    bullet.EmitVel = ReadFloat(szSection, "EmitVel", "8.0");
    bullet.Mass = ReadFloat(szSection, "Mass", "5.0");
    ReadString(szSection, "Model", "bullet.x", bullet.Model);
    bullet.AmbientLight = ReadHex(szSection, "AmbientLight", "0x00000000");
}

void Profile::ReadShip(const char* szSection, ShipSettings& ship)
{
    for (const ShipKey& key : kShipKeys)
        ship.*key.pField = ReadFloat(szSection, key.szKey, key.szDefault);
}

void Profile::ReadEnemyType(const char* szSection, EnemyType& type)
{
    char szText[kValueSize];
    ReadString(szSection, "EnemyCreationType", "FromFile", szText);
    MapName(kCreationTypes, szText, type.CreationType);
    ReadString(szSection, "EnemyModel", "enemy.x", type.EnemyModel);
    type.EnemySpeedFactor = ReadFloat(szSection, "EnemySpeedFactor", "30.0f");
    type.EnemyAmbientLight = ReadHex(szSection, "EnemyAmbientLight", "0x00000000");
    ReadString(szSection, "EnemyMovementType", "MoveRandom", szText);
    if (!MapName(kMovementTypes, szText, type.MovementType))
        ReportUnknown("Unknown EnemyMovementType", szText);
    ReadString(szSection, "EnemyAttackType", "None", szText);
    if (!MapName(kAttackTypes, szText, type.AttackType))
        ReportUnknown("Unknown EnemyAttackType", szText);
    type.MoveRandomCountdown = ReadFloat(szSection, "MoveRandomCountdown", "1.0f");
    type.ThrustCountdown = ReadFloat(szSection, "ThrustCountdown", "1.0f");
    type.TurnCountdown = ReadFloat(szSection, "TurnCountdown", "0.1f");
    type.MoveTowardsAccuracy = ReadFloat(szSection, "MoveTowardsAccuracy", "0.1f");
    type.MaxHealth = ReadFloat(szSection, "MaxHealth", "100.0");
    type.Mass = ReadFloat(szSection, "Mass", "5.0");
    type.InvulnerableCountdown = ReadFloat(szSection, "InvulnerableCountdown", "0.0");
    type.HitAnimationCountdown = ReadFloat(szSection, "HitAnimationCountdown", "1.0");
    type.DeathAnimationCountdown = ReadFloat(szSection, "DeathAnimationCountdown", "1.0");
    type.Damage = ReadFloat(szSection, "Damage", "10.0");
    SplitColor(ReadHex(szSection, "AliveColor", "0x00000000"), type.AliveColor);
    SplitColor(ReadHex(szSection, "DeadColor", "0x00000000"), type.DeadColor);
}

void Profile::ReadLandType(const char* szSection, LandType& land)
{
    char szText[kValueSize];
    ReadString(szSection, "HeightCreationType", "FromFile", szText);
    MapName(kCreationTypes, szText, land.HeightCreationType);
    ReadString(szSection, "HeightMap", "land.bmp", land.HeightMap);
    ReadString(szSection, "TextureCreationType", "FromLayers", szText);
    MapName(kTextureCreationTypes, szText, land.TextureCreationType);
    land.TextureSize = ReadInt(szSection, "TextureSize", "256");
    if (land.TextureCreationType == 3 || land.TextureCreationType == 4)
    {
        // The layer arrays hold MAX_SOURCE_TEXTURES layers.
        int32_t nLayers = ReadInt(szSection, "NumLayers", "1");
        if (nLayers < 0 || nLayers > MAX_SOURCE_TEXTURES)
        {
            LogWarning("Profile::ReadLandType() - NumLayers %d in [%s] is cut to 0..%d.", nLayers, szSection,
                       MAX_SOURCE_TEXTURES);
            nLayers = nLayers < 0 ? 0 : MAX_SOURCE_TEXTURES;
        }
        land.dwNumLayers = static_cast<DWORD>(nLayers);
        for (int n = 1; n <= nLayers; ++n)
        {
            const int i = n - 1;
            ReadString(szSection, Numbered("LayerTexture%d", n).c_str(), "gfx\\land_sand64.bmp", land.LayerTexture[i]);
            land.LayerHeight[i] = ReadFloat(szSection, Numbered("LayerHeight%d", n).c_str(), "0.0f") / 1000.0f;
            land.LayerTile[i] = ReadFloat(szSection, Numbered("LayerTile%d", n).c_str(), "4.0f");
            land.LayerRandomness[i] = ReadFloat(szSection, Numbered("LayerRandomness%d", n).c_str(), "0.05f");
            land.LayerColor[i] = ReadHex(szSection, Numbered("LayerColor%d", n).c_str(), "0xFF0000FF");
            land.LayerBlendFactor[i] = ReadFloat(szSection, Numbered("LayerBlendFactor%d", n).c_str(), "1.4f");
        }
    }
    ReadString(szSection, "TextureMap", "land.bmp", land.TextureMap);
    land.SaveMedia = ReadInt(szSection, "SaveMedia", "0");
}

void Profile::ReadLight(const char* szSection, LightSettings& light)
{
    const char* kAxes[3] = {"X", "Y", "Z"};
    const char* kChannels[3] = {"R", "G", "B"};
    const char* kDirectionDefaults[3] = {"1.0", "-1.0", "1.0"};
    for (int i = 0; i < 3; ++i)
    {
        light.Direction[i] = ReadFloat(szSection, (std::string("Direction") + kAxes[i]).c_str(), kDirectionDefaults[i]);
        light.Diffuse[i] = ReadFloat(szSection, (std::string("Diffuse") + kChannels[i]).c_str(), "1.0");
        light.Specular[i] = ReadFloat(szSection, (std::string("Specular") + kChannels[i]).c_str(), "0.0");
        light.Ambient[i] = ReadFloat(szSection, (std::string("Ambient") + kChannels[i]).c_str(), "0.0");
    }
}

void Profile::ReadSky(const char* szSection, SkySettings& sky)
{
    ReadString(szSection, "Model", "sky-model.x", sky.Model);
    ReadString(szSection, "TextureMap", "sky-texture.bmp", sky.TextureMap);
    sky.FogColor = ReadHex(szSection, "FogColor", "0xFF0000FF");
    sky.ClearColor = ReadHex(szSection, "ClearColor", "0xFF000000");
    sky.OffsetY = ReadFloat(szSection, "OffsetY", "-400.0f");
    sky.ScaleX = ReadFloat(szSection, "ScaleX", "1.0f");
    sky.ScaleY = ReadFloat(szSection, "ScaleY", "1.0f");
    sky.ScaleZ = ReadFloat(szSection, "ScaleZ", "1.0f");
}

void Profile::ReadTheme(ThemeSettings& theme, const char* szPath)
{
    char szSaved[kValueSize];
    std::memcpy(szSaved, m_strFile, sizeof(szSaved));
    std::snprintf(m_strFile, sizeof(m_strFile), "%s", szPath);
    std::snprintf(theme.strFile, sizeof(theme.strFile), "%s", szPath);

    theme.m_dwNumLandTypes = ReadCount("GLOBAL", "NumZoneStyles", "1");
    theme.m_pLandTypes = new (std::nothrow) LandType[theme.m_dwNumLandTypes]();
    if (!theme.m_pLandTypes)
        theme.m_dwNumLandTypes = 0;
    for (DWORD i = 0; i < theme.m_dwNumLandTypes; ++i)
        ReadLandType(Numbered("ZONESTYLE%d", static_cast<int>(i) + 1).c_str(), theme.m_pLandTypes[i]);
    theme.AmbientLight = ReadHex("GLOBAL", "AmbientLight", "0x44444444");
    theme.m_dwNumLights = ReadCount("GLOBAL", "NumLights", "1");
    theme.m_pLights = new (std::nothrow) LightSettings[theme.m_dwNumLights]();
    if (!theme.m_pLights)
        theme.m_dwNumLights = 0;
    for (DWORD i = 0; i < theme.m_dwNumLights; ++i)
        ReadLight(Numbered("LIGHT%d", static_cast<int>(i) + 1).c_str(), theme.m_pLights[i]);
    ReadSky("SKY", theme.Sky);

    std::memcpy(m_strFile, szSaved, sizeof(szSaved));
}

bool Profile::FindThemeFile(const char* szName, char* szPath)
{
    if (SUCCEEDED(FindMediaFileCch(szPath, kValueSize, szName)))
        return true;
    // The model folder of the original layout does not exist here; a theme beside the profile
    // is found as well.
    std::string profile = m_strFile;
    size_t nSlash = profile.find_last_of("/\\");
    std::string beside = (nSlash == std::string::npos ? std::string() : profile.substr(0, nSlash + 1)) + szName;
    if (beside.size() < kValueSize && IsReadableFile(beside.c_str()))
    {
        std::memcpy(szPath, beside.c_str(), beside.size() + 1);
        return true;
    }
    return false;
}

void Profile::Load(const char* szFile)
{
    FreeArrays();
    std::snprintf(m_strFile, sizeof(m_strFile), "%s", szFile ? szFile : "");
    ReadBullet("BULLET1", m_Bullet);
    ReadSound3D("ExplosionDonut", m_ExplosionSound);
    ReadShip("Ship", m_Ship);
    for (const GlobalKey& key : kGlobalKeys)
    {
        if (key.pInt)
            this->*key.pInt = ReadInt("GLOBAL", key.szKey, key.szDefault);
        else
            this->*key.pFloat = ReadFloat("GLOBAL", key.szKey, key.szDefault);
    }

    DWORD nThemes = ReadCount("THEMES", "NumThemes", "1");
    m_pThemes = new (std::nothrow) ThemeSettings[nThemes]();
    if (!m_pThemes)
        return;
    m_dwNumThemes = nThemes;
    for (DWORD i = 0; i < nThemes; ++i)
    {
        char szName[kValueSize];
        ReadString("THEMES", Numbered("Theme%d", static_cast<int>(i) + 1).c_str(), "theme1.ini", szName);
        char szPath[kValueSize];
        if (!FindThemeFile(szName, szPath))
        {
            LogWarning("FindMediaFileCch");
            return;
        }
        ReadTheme(m_pThemes[i], szPath);
    }

    ForceThemeSelect = ReadInt("THEMES", "ForceThemeSelect", "0");
    SelectTheme = ReadInt("THEMES", "SelectTheme", "1") - 1;
    ReadString("GLOBAL", "UITextureMap", "ui.bmp", UITextureMap);
    ReadString("GLOBAL", "SplashTextureMap", "splash.bmp", SplashTextureMap);
    ReadString("GLOBAL", "AudioScript", "vorida4.spt", AudioScript);
    DWORD nEnemyTypes = ReadCount("GLOBAL", "NumEnemies", "1");
    ForceEnemySelect = ReadInt("GLOBAL", "ForceEnemySelect", "0");
    SelectEnemy = ReadInt("GLOBAL", "SelectEnemy", "1") - 1;

    m_pEnemyTypes = new (std::nothrow) EnemyType[nEnemyTypes]();
    if (!m_pEnemyTypes)
        return;
    m_dwNumEnemyTypes = nEnemyTypes;
    for (DWORD j = 0; j < nEnemyTypes; ++j)
        ReadEnemyType(Numbered("ENEMY%d", static_cast<int>(j) + 1).c_str(), m_pEnemyTypes[j]);

    for (int n = 0; n < 10; ++n)
    {
        NTemp[n] = ReadInt("GLOBAL", Numbered("NTemp%d", n).c_str(), "1");
        FTemp[n] = ReadFloat("GLOBAL", Numbered("FTemp%d", n).c_str(), "1.0f");
    }
}
