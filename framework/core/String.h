#pragma once
// The framework's growable text: a malloc block holding a NUL-terminated byte string, its length
// and the size of the block. Bytes are plain chars; there is no notion of character sets.
// Growth doubles the block, so repeated appending is amortised; nothing but SetLength shrinks it.
#include <cstdint>

class String
{
public:
    // The capacity of a default string, and the first step of a string constructed empty.
    static constexpr uint32_t DEFAULT_CAPACITY = 32;

    String();
    // An empty string with a block of nCapacity bytes. Capacity 0 allocates nothing; such a
    // string reads as "" and grows to DEFAULT_CAPACITY (or more) on its first write.
    explicit String(uint32_t nCapacity);
    String(const char* szText);
    String(const char* pText, int nLength);
    String(const String& other);
    ~String();

    const char* GetText() const { return m_pText ? m_pText : ""; }
    int GetLength() const { return m_nLength; }
    uint32_t GetCapacity() const { return m_nCapacity; }
    // Resizes the block to exactly n + 1 bytes and stores a NUL at n; bytes between an old
    // shorter length and n are whatever the block holds.
    void SetLength(int n);

    // The source may lie inside this string's own block.
    void Assign(const char* pText, int n);
    void Append(const char* pText, int n);

    String& operator=(const char* szText);
    String& operator=(const String& other);
    String& operator+=(const char* szText);
    String& operator+=(const String& other);

    // Appends formatted text. Only %%, %d, %x, %X (int), %f (double) and %s (text) are known;
    // there are no flags, widths or precisions: "%5.2f" appends ".2f". Any other byte after a
    // % appends nothing and takes no argument; a % as the last byte is dropped.
    void AppendFormat(const char* szFormat, ...);

    // A to Z become a to z; every other byte, 0x80 and above included, is kept.
    void ToLower();
    // Removes trailing bytes found in the NUL-terminated set; returns the new length.
    int TrimRight(const char* szSet);
    // Every byte a becomes b; returns how many were replaced.
    int Replace(char a, char b);
    // Every non-overlapping occurrence of szFind, from the left, becomes szReplacement; returns
    // how many were replaced. An empty szFind changes nothing and returns 0.
    int Replace(const char* szFind, const char* szReplacement);

    // Each gives the index through pIndex (when not null) only when found.
    bool Find(char c, int* pIndex) const;
    bool Find(const char* szText, int* pIndex) const;
    bool ReverseFind(char c, int* pIndex) const;

    // Doubles nCapacity at least once and then until it is not below nNeeded. A capacity of 0
    // starts from DEFAULT_CAPACITY / 2, so its first step is DEFAULT_CAPACITY.
    static uint32_t NextCapacity(uint32_t nCapacity, uint32_t nNeeded);

private:
    // Grows the block, content kept, when nNeeded bytes (text and NUL) reach its capacity;
    // false when it cannot grow (the string is then unchanged).
    bool Reserve(uint32_t nNeeded);
    void AppendNumber(const char* szFormat, ...);

    char* m_pText = nullptr;
    int m_nLength = 0;
    uint32_t m_nCapacity = 0;
};

// True when the byte occurs in the NUL-terminated set.
bool IsCharInSet(const char* szSet, char c);

// Each result has the capacity 2 * (length(left) + length(right) + 1): a temporary of
// length(left) + length(right) + 1 bytes grows once on the way.
String operator+(const String& left, const String& right);
String operator+(const String& left, const char* szRight);
String operator+(const char* szLeft, const String& right);

// Byte-by-byte, case-sensitive comparisons (strcmp).
bool operator==(const String& a, const String& b);
bool operator==(const String& a, const char* b);
bool operator==(const char* a, const String& b);
bool operator!=(const String& a, const String& b);
bool operator!=(const String& a, const char* b);
bool operator!=(const char* a, const String& b);
bool operator<(const String& a, const String& b);
bool operator<(const String& a, const char* b);
bool operator<(const char* a, const String& b);
bool operator>(const String& a, const String& b);
bool operator>(const String& a, const char* b);
bool operator>(const char* a, const String& b);
bool operator<=(const String& a, const String& b);
bool operator<=(const String& a, const char* b);
bool operator<=(const char* a, const String& b);
bool operator>=(const String& a, const String& b);
bool operator>=(const String& a, const char* b);
bool operator>=(const char* a, const String& b);
