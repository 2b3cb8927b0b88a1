#include "core/ByteStream.h"

bool ByteReader::Seek(size_t nPos)
{
    if (nPos > m_nSize)
        return Fail();
    m_nPos = nPos;
    return true;
}

bool ByteReader::Skip(size_t nCount)
{
    if (nCount > GetRemaining())
        return Fail();
    m_nPos += nCount;
    return true;
}

bool ByteReader::ReadBytes(void* pOut, size_t nCount)
{
    if (nCount > GetRemaining())
        return Fail();
    if (nCount)
        std::memcpy(pOut, m_pData + m_nPos, nCount);
    m_nPos += nCount;
    return true;
}

bool ByteReader::ReadF32(float& f)
{
    uint32_t bits;
    if (!ReadU32(bits))
        return false;
    std::memcpy(&f, &bits, sizeof(f));
    return true;
}

bool ByteReader::ReadFixedString(char* szOut, size_t nFieldSize)
{
    if (nFieldSize == 0)
        return true;
    if (nFieldSize > GetRemaining())
        return Fail();
    const uint8_t* p = m_pData + m_nPos;
    size_t n = 0;
    while (n < nFieldSize - 1 && p[n] != 0)
        ++n;
    std::memcpy(szOut, p, n);
    szOut[n] = 0;
    m_nPos += nFieldSize;
    return true;
}

void ByteWriter::WriteBytes(const void* pData, size_t nCount)
{
    const uint8_t* p = static_cast<const uint8_t*>(pData);
    m_Buffer.insert(m_Buffer.end(), p, p + nCount);
}

void ByteWriter::WriteF32(float f)
{
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof(bits));
    WriteU32(bits);
}

void ByteWriter::WriteFixedString(const char* szText, size_t nFieldSize)
{
    if (nFieldSize == 0)
        return;
    size_t n = szText ? strnlen(szText, nFieldSize - 1) : 0;
    WriteBytes(szText, n);
    WriteZeros(nFieldSize - n);
}

bool ByteWriter::PatchU32(size_t nOffset, uint32_t n)
{
    if (nOffset > m_Buffer.size() || m_Buffer.size() - nOffset < 4)
        return false;
    for (int i = 0; i < 4; ++i)
        m_Buffer[nOffset + i] = static_cast<uint8_t>(n >> (8 * i));
    return true;
}
