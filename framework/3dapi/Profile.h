#pragma once
// The game sample's settings, read from initialisation files: display and rendering switches,
// world size, fog, sounds, the bullet, the player ship, the themes (land types, lights, sky, each
// theme in a file of its own) and the enemy types. One process-wide instance, g_Profile; the
// game objects and their collision rules read it.
#include <win32/types.h>

#include <cstdint>

class DisplayModel;

constexpr int MAX_SOURCE_TEXTURES = 10;

struct SoundSettings
{
    char WavFile[260];
    int32_t BufferCount;
    int32_t Volume;
    int32_t SampleRateOffset;
    int32_t SampleRateDelta;
};

struct Sound3DSettings
{
    SoundSettings Sound;
    float MinDistance;
    float MaxDistance;
};

struct BulletSettings
{
    SoundSettings Sound;
    float Mass;
    float Damage;
    float RechargeTime;
    float ExpireCountdown;
    float Speed;
    char Model[260];
    DisplayModel* m_pModel;   // not owned; set by the program when it loads the model
    DWORD AmbientLight;
    int32_t UseParticles;
    char ParticleTextureMap[260];
    float ParticleRadius;
    int32_t NumParticlesToEmit;
    DWORD ParticleColor;
    DWORD ParticleColorFade;
    float EmitVel;
};

struct ShipSettings
{
    float ShowDelay, AccelFactor, DecelFactor, SpeedFactor, RollDecelFactor, StartX, StartY, StartZ, MaxSlope,
        FollowTerrianStartHeight, FollowTerrianOffset, MinHeight, FallRate, RiseRate, Mass, MaxShield;
};

// Creation types: 1 "FromFile", 2 "CreateTest" (land textures also 3 "CreateFromHeight" and
// 4 "FromLayers"); movement types: 1 "None", 2 "MoveRandom", 3 "MoveTowards"; attack: 1 "None".
struct EnemyType
{
    EnemyType() = default;
    ~EnemyType();
    EnemyType(const EnemyType&) = delete;
    EnemyType& operator=(const EnemyType&) = delete;

    int32_t CreationType = 0;
    char EnemyModel[260] = {};
    DWORD EnemyAmbientLight = 0;
    float EnemySpeedFactor = 0, MoveRandomCountdown = 0, ThrustCountdown = 0, TurnCountdown = 0,
          MoveTowardsAccuracy = 0;
    int32_t MovementType = 0;
    int32_t AttackType = 0;
    float Mass = 0, MaxHealth = 0, InvulnerableCountdown = 0, HitAnimationCountdown = 0,
          DeathAnimationCountdown = 0, Damage = 0;
    float AliveColor[4] = {};   // red, green, blue, alpha
    float DeadColor[4] = {};
    DisplayModel* m_pModel = nullptr;   // owned
};

struct SkySettings
{
    char Model[260];
    char TextureMap[260];
    DWORD FogColor;
    DWORD ClearColor;
    float OffsetY, ScaleX, ScaleY, ScaleZ;
};

struct LandType
{
    int32_t HeightCreationType;
    int32_t TextureCreationType;
    int32_t TextureSize;
    DWORD dwNumLayers;   // 0 to MAX_SOURCE_TEXTURES
    char HeightMap[260];
    char TextureMap[260];
    char LayerTexture[MAX_SOURCE_TEXTURES][260];
    DWORD LayerColor[MAX_SOURCE_TEXTURES];
    float LayerHeight[MAX_SOURCE_TEXTURES];   // the value read divided by 1000
    float LayerTile[MAX_SOURCE_TEXTURES];
    float LayerRandomness[MAX_SOURCE_TEXTURES];
    float LayerBlendFactor[MAX_SOURCE_TEXTURES];
    int32_t SaveMedia;
};

struct LightSettings
{
    float Direction[3];
    float Diffuse[3];
    float Specular[3];
    float Ambient[3];
};

struct ThemeSettings
{
    ThemeSettings() = default;
    ~ThemeSettings();
    ThemeSettings(const ThemeSettings&) = delete;
    ThemeSettings& operator=(const ThemeSettings&) = delete;

    char strFile[260] = {};
    SkySettings Sky = {};
    DWORD AmbientLight = 0;
    DWORD m_dwNumLandTypes = 0;
    LandType* m_pLandTypes = nullptr;
    DWORD m_dwNumLights = 0;
    LightSettings* m_pLights = nullptr;
};

class Profile
{
public:
    // Counts of themes, land types, lights and enemy types above this are cut to it.
    static constexpr int MAX_RECORDS = 256;

    Profile();
    ~Profile();
    Profile(const Profile&) = delete;
    Profile& operator=(const Profile&) = delete;

    // Reads everything from the file (missing keys and a missing file give the defaults). A
    // theme file that cannot be found stops the load after a warning; what was read stays.
    // Every load makes its arrays afresh for the counts it reads.
    void Load(const char* szFile);

    // The enemy type at an index, or null outside the array.
    EnemyType* GetEnemyType(int nIndex) const;

    char m_strFile[260];
    BulletSettings m_Bullet;
    Sound3DSettings m_ExplosionSound;
    ShipSettings m_Ship;

    int32_t LoadAudio, RenderSplash, RenderGround, RenderSky, FullScreen, LoadFast, RenderRadar, RenderUI,
        RenderEnemies, RenderParticles, ForceREF, ForceSoftwareVP, ForceHardwareVP;
    float ChangeGunRecharge, DistanceFactor, RolloffFactor, DopplerFactor;
    int32_t NumEnemiesPerLevelScale, NumEnemiesBase;
    float FOV;
    int32_t RenderTerrainStyle, WorldHeight, WorldWidth, RenderText, GenerateMipMaps, OptimizeMesh, CompactMesh,
        SimplifyMesh;
    float SimplifyMeshFactor, RenderDist, ZFarDist, FogStart, FogEnd;

    DWORD m_dwNumThemes;
    ThemeSettings* m_pThemes;
    int32_t ForceThemeSelect;
    int32_t SelectTheme;   // 0-based
    char UITextureMap[260];
    char SplashTextureMap[260];
    char AudioScript[260];

    DWORD m_dwNumEnemyTypes;
    EnemyType* m_pEnemyTypes;
    int32_t ForceEnemySelect;
    int32_t SelectEnemy;   // 0-based

    float FTemp[10];
    int32_t NTemp[10];

private:
    void ReadString(const char* szSection, const char* szKey, const char* szDefault, char* szOut);
    int32_t ReadInt(const char* szSection, const char* szKey, const char* szDefault);
    float ReadFloat(const char* szSection, const char* szKey, const char* szDefault);
    DWORD ReadHex(const char* szSection, const char* szKey, const char* szDefault);
    // A count read as an int, cut to 0..MAX_RECORDS with a warning.
    DWORD ReadCount(const char* szSection, const char* szKey, const char* szDefault);

    void ReadSound(const char* szSection, SoundSettings& sound);
    void ReadSound3D(const char* szSection, Sound3DSettings& sound);
    void ReadBullet(const char* szSection, BulletSettings& bullet);
    void ReadShip(const char* szSection, ShipSettings& ship);
    void ReadEnemyType(const char* szSection, EnemyType& type);
    void ReadTheme(ThemeSettings& theme, const char* szPath);
    void ReadLandType(const char* szSection, LandType& land);
    void ReadLight(const char* szSection, LightSettings& light);
    void ReadSky(const char* szSection, SkySettings& sky);
    // The theme file's path: through the model search, else beside the profile file.
    bool FindThemeFile(const char* szName, char* szPath);
    void FreeArrays();
};

// Splits 0xAARRGGBB into red, green, blue and alpha in 0..1.
void SplitColor(DWORD dwColor, float* pRgba);

extern Profile g_Profile;
