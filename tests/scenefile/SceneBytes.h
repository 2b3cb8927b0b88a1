#pragma once
// Builds scene-file bytes in the tests straight from the byte layouts, independently of the
// project's writers: little-endian int32 and float, fixed text fields padded with zeros.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

class SceneBytes
{
public:
    SceneBytes& I32(int32_t n)
    {
        uint32_t u = static_cast<uint32_t>(n);
        for (int i = 0; i < 4; ++i)
            m_Bytes.push_back(static_cast<uint8_t>(u >> (8 * i)));
        return *this;
    }
    SceneBytes& F32(float f)
    {
        int32_t n;
        std::memcpy(&n, &f, sizeof(n));
        return I32(n);
    }
    SceneBytes& Floats(std::initializer_list<float> values)
    {
        for (float f : values)
            F32(f);
        return *this;
    }
    SceneBytes& U8(uint8_t n)
    {
        m_Bytes.push_back(n);
        return *this;
    }
    // The text, then zeros to fill nSize bytes.
    SceneBytes& Text(const std::string& strText, size_t nSize = 256)
    {
        m_Bytes.insert(m_Bytes.end(), strText.begin(), strText.end());
        m_Bytes.insert(m_Bytes.end(), nSize - strText.size(), 0);
        return *this;
    }
    SceneBytes& Fill(size_t nCount, uint8_t nValue = 0)
    {
        m_Bytes.insert(m_Bytes.end(), nCount, nValue);
        return *this;
    }
    SceneBytes& Append(const SceneBytes& other)
    {
        m_Bytes.insert(m_Bytes.end(), other.m_Bytes.begin(), other.m_Bytes.end());
        return *this;
    }
    size_t Size() const { return m_Bytes.size(); }
    const std::vector<uint8_t>& Get() const { return m_Bytes; }
    std::vector<uint8_t>& Get() { return m_Bytes; }

private:
    std::vector<uint8_t> m_Bytes;
};
