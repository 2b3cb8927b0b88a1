#include "core/FileIO.h"

#include "core/CoreHooks.h"

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FILE* OpenFile(const char* szName, const char* szMode)
{
    if (!szName || !szMode)
        return nullptr;
    bool bWrite = std::strpbrk(szMode, "wa") != nullptr;
    std::string path = MapFilePath(szName, bWrite);
    return std::fopen(path.c_str(), szMode);
}

bool ReadWholeFile(const char* szName, std::vector<uint8_t>& data)
{
    data.clear();
    if (!szName)
        return false;
    std::string path = MapFilePath(szName, false);
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st{};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0)
    {
        close(fd);
        return false;
    }
    data.resize(static_cast<size_t>(st.st_size));
    size_t nDone = 0;
    while (nDone < data.size())
    {
        ssize_t n = read(fd, data.data() + nDone, data.size() - nDone);
        if (n <= 0)
            break;
        nDone += static_cast<size_t>(n);
    }
    close(fd);
    if (nDone != data.size())
    {
        data.clear();
        return false;
    }
    return true;
}

bool BeginAtomicWrite(const char* szName, AtomicFile& file)
{
    file = AtomicFile{};
    if (!szName)
        return false;
    file.m_strTarget = MapFilePath(szName, true);
    std::string pattern = file.m_strTarget + ".tmpXXXXXX";
    std::vector<char> temp(pattern.begin(), pattern.end());
    temp.push_back(0);
    int fd = mkstemp(temp.data());
    if (fd < 0)
        return false;
    file.m_strTemp = temp.data();
    file.m_pFile = fdopen(fd, "wb");
    if (!file.m_pFile)
    {
        close(fd);
        unlink(file.m_strTemp.c_str());
        return false;
    }
    return true;
}

bool CommitAtomicWrite(AtomicFile& file)
{
    if (!file.m_pFile)
        return false;
    bool bOk = std::ferror(file.m_pFile) == 0;
    bOk = std::fflush(file.m_pFile) == 0 && bOk;
    // mkstemp creates the file 0600; a saved document gets the usual permissions.
    mode_t mask = umask(0);
    umask(mask);
    fchmod(fileno(file.m_pFile), 0666 & ~mask);
    bOk = std::fclose(file.m_pFile) == 0 && bOk;
    file.m_pFile = nullptr;
    if (bOk)
        bOk = std::rename(file.m_strTemp.c_str(), file.m_strTarget.c_str()) == 0;
    if (!bOk)
        unlink(file.m_strTemp.c_str());
    return bOk;
}

void AbortAtomicWrite(AtomicFile& file)
{
    if (file.m_pFile)
    {
        std::fclose(file.m_pFile);
        file.m_pFile = nullptr;
        unlink(file.m_strTemp.c_str());
    }
}

bool WriteFileAtomic(const char* szName, const void* pData, size_t nSize)
{
    AtomicFile file;
    if (!BeginAtomicWrite(szName, file))
        return false;
    if (nSize && std::fwrite(pData, 1, nSize, file.m_pFile) != nSize)
    {
        AbortAtomicWrite(file);
        return false;
    }
    return CommitAtomicWrite(file);
}
