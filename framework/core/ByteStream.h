#pragma once
// The one little-endian reader and writer for every binary file format. The reader never reads
// past its end: a read that does not fit fails, leaves the position unchanged and marks the
// stream bad, so a parser can check once after a run of reads.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

class ByteReader
{
public:
    ByteReader() = default;
    ByteReader(const void* pData, size_t nSize) : m_pData(static_cast<const uint8_t*>(pData)), m_nSize(nSize) {}
    explicit ByteReader(const std::vector<uint8_t>& data) : ByteReader(data.data(), data.size()) {}

    size_t GetSize() const { return m_nSize; }
    size_t GetPosition() const { return m_nPos; }
    size_t GetRemaining() const { return m_nSize - m_nPos; }
    bool IsAtEnd() const { return m_nPos >= m_nSize; }
    // False once any read, skip or seek has failed.
    bool IsGood() const { return m_bGood; }
    const uint8_t* GetData() const { return m_pData; }
    const uint8_t* GetCurrent() const { return m_pData + m_nPos; }

    bool Seek(size_t nPos);
    bool Skip(size_t nCount);
    bool ReadBytes(void* pOut, size_t nCount);

    bool ReadU8(uint8_t& n) { return ReadLittle(n); }
    bool ReadU16(uint16_t& n) { return ReadLittle(n); }
    bool ReadU32(uint32_t& n) { return ReadLittle(n); }
    bool ReadI16(int16_t& n) { return ReadLittle(n); }
    bool ReadI32(int32_t& n) { return ReadLittle(n); }
    bool ReadI64(int64_t& n) { return ReadLittle(n); }
    bool ReadF32(float& f);
    // A fixed-size text field; the result stops at the first NUL and is always terminated.
    bool ReadFixedString(char* szOut, size_t nFieldSize);

private:
    template <typename T>
    bool ReadLittle(T& value)
    {
        uint8_t bytes[sizeof(T)];
        if (!ReadBytes(bytes, sizeof(T)))
            return false;
        using U = std::make_unsigned_t<T>;
        U u = 0;
        for (size_t i = 0; i < sizeof(T); ++i)
            u |= static_cast<U>(static_cast<U>(bytes[i]) << (8 * i));
        value = static_cast<T>(u);
        return true;
    }
    bool Fail()
    {
        m_bGood = false;
        return false;
    }

    const uint8_t* m_pData = nullptr;
    size_t m_nSize = 0;
    size_t m_nPos = 0;
    bool m_bGood = true;
};

class ByteWriter
{
public:
    const std::vector<uint8_t>& GetBuffer() const { return m_Buffer; }
    std::vector<uint8_t>& GetBuffer() { return m_Buffer; }
    size_t GetSize() const { return m_Buffer.size(); }

    void WriteBytes(const void* pData, size_t nCount);
    void WriteZeros(size_t nCount) { m_Buffer.insert(m_Buffer.end(), nCount, 0); }
    void WriteU8(uint8_t n) { WriteLittle(n); }
    void WriteU16(uint16_t n) { WriteLittle(n); }
    void WriteU32(uint32_t n) { WriteLittle(n); }
    void WriteI16(int16_t n) { WriteLittle(n); }
    void WriteI32(int32_t n) { WriteLittle(n); }
    void WriteI64(int64_t n) { WriteLittle(n); }
    void WriteF32(float f);
    // The text cut to nFieldSize - 1 bytes, then zeros to fill the field.
    void WriteFixedString(const char* szText, size_t nFieldSize);
    // Overwrites 4 bytes already written, for sizes known only afterwards.
    bool PatchU32(size_t nOffset, uint32_t n);

private:
    template <typename T>
    void WriteLittle(T value)
    {
        using U = std::make_unsigned_t<T>;
        U u = static_cast<U>(value);
        for (size_t i = 0; i < sizeof(T); ++i)
            m_Buffer.push_back(static_cast<uint8_t>(u >> (8 * i)));
    }

    std::vector<uint8_t> m_Buffer;
};
