#include "scene/PathFile.h"

#include "core/FileIO.h"
#include "core/Log.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace
{
// Reads the numbers of a NUL-terminated text one after the other, white space between them
// skipped, as the file's scanf-style format allows.
class NumberReader
{
public:
    explicit NumberReader(const char* szText) : m_szNext(szText) {}

    bool ReadInt(int& nValue)
    {
        char* pEnd = nullptr;
        errno = 0;
        long nRead = std::strtol(m_szNext, &pEnd, 10);
        if (pEnd == m_szNext || errno == ERANGE || nRead < INT_MIN || nRead > INT_MAX)
            return false;
        m_szNext = pEnd;
        nValue = static_cast<int>(nRead);
        return true;
    }

    bool ReadFloat(float& fValue)
    {
        char* pEnd = nullptr;
        float fRead = std::strtof(m_szNext, &pEnd);
        if (pEnd == m_szNext || !std::isfinite(fRead))
            return false;
        m_szNext = pEnd;
        fValue = fRead;
        return true;
    }

private:
    const char* m_szNext;
};
}

PathFileResult ReadPathFile(const char* szFileName, std::vector<PathKey>& keys, float& fDuration)
{
    std::vector<uint8_t> data;
    if (!ReadWholeFile(szFileName, data))
    {
        LogWarning("SceneNode::LoadPath() - cannot open \"%s\".", szFileName);
        return PATH_FILE_CANNOT_OPEN;
    }
    data.push_back(0);
    NumberReader reader(reinterpret_cast<const char*>(data.data()));

    int nKeys = 0;
    float fReadDuration = 0.0f;
    if (!reader.ReadInt(nKeys) || !reader.ReadFloat(fReadDuration) || nKeys < 0)
    {
        LogWarning("SceneNode::LoadPath() - \"%s\" has no valid header.", szFileName);
        return PATH_FILE_MALFORMED;
    }
    // Grown key by key, so a count that the file does not back costs nothing.
    std::vector<PathKey> read;
    for (int i = 0; i < nKeys; ++i)
    {
        PathKey key;
        if (!reader.ReadFloat(key.m_vPosition.x) || !reader.ReadFloat(key.m_vPosition.y) ||
            !reader.ReadFloat(key.m_vPosition.z) || !reader.ReadFloat(key.m_qRotation.x) ||
            !reader.ReadFloat(key.m_qRotation.y) || !reader.ReadFloat(key.m_qRotation.z) ||
            !reader.ReadFloat(key.m_qRotation.w))
        {
            LogWarning("SceneNode::LoadPath() - \"%s\" ends or breaks in key %d of %d.", szFileName, i, nKeys);
            return PATH_FILE_MALFORMED;
        }
        read.push_back(key);
    }
    keys.swap(read);
    fDuration = fReadDuration;
    return PATH_FILE_OK;
}

bool WritePathFile(const char* szFileName, const PathKey* pKeys, int nKeys, float fDuration)
{
    if (nKeys < 0 || (nKeys > 0 && !pKeys))
    {
        LogWarning("WritePathFile() - no keys to write to \"%s\".", szFileName);
        return false;
    }
    AtomicFile file;
    if (!BeginAtomicWrite(szFileName, file))
    {
        LogWarning("WritePathFile() - cannot create \"%s\".", szFileName);
        return false;
    }
    std::fprintf(file.m_pFile, "%d %f\n", nKeys, fDuration);
    for (int i = 0; i < nKeys; ++i)
    {
        const PathKey& key = pKeys[i];
        std::fprintf(file.m_pFile, " %f %f %f\n", key.m_vPosition.x, key.m_vPosition.y, key.m_vPosition.z);
        std::fprintf(file.m_pFile, " %f %f %f %f\n", key.m_qRotation.x, key.m_qRotation.y, key.m_qRotation.z,
                     key.m_qRotation.w);
    }
    if (!CommitAtomicWrite(file))
    {
        LogWarning("WritePathFile() - cannot write \"%s\".", szFileName);
        return false;
    }
    return true;
}
