#pragma once
// A skin's description: its name and author, the general tool window's geometry and the colour
// keys of its bitmaps. A ".skin" file holds the name and the author after a header line (212
// bytes, binary); the text readers take the longer text form that nothing writes yet.
#include <cstdint>
#include <cstdio>

struct SkinRect
{
    int32_t m_nLeft = 0;
    int32_t m_nTop = 0;
    int32_t m_nRight = 0;
    int32_t m_nBottom = 0;
};

constexpr size_t SKIN_NAME_SIZE = 64;
constexpr size_t SKIN_AUTHOR_SIZE = 128;
// "[SKIN DESCRIPTION]\n" and its terminating zero, then the two fixed text fields.
constexpr size_t SKIN_HEADER_SIZE = 20;
constexpr size_t SKIN_FILE_SIZE = SKIN_HEADER_SIZE + SKIN_NAME_SIZE + SKIN_AUTHOR_SIZE;

class CSkinUtil
{
public:
    virtual ~CSkinUtil() = default;

    // The values the skin editor starts from; the rectangles are left as they are.
    void SetDefaults();
    // Reads nothing: the description in use stays as it is. 1.
    int LoadSkin(const char* szPath);
    // Writes the description to a temporary name, then renames it over the file; 0 with a
    // logged error when it cannot be written.
    int SaveSkin(const char* szPath);

    // The sections of the binary file; the dialog section writes nothing. Both 1.
    int WriteDescription(FILE* pFile);
    int WriteDialogSection(FILE* pFile);
    // The text form: each stops at the first line that does not match, and every text is cut to
    // its field. Both 1.
    int ReadDescription(FILE* pFile);
    int ReadDialogSection(FILE* pFile);

    int32_t m_nSkinFlag = 0;
    int32_t m_nDialogHeight = 0;
    int32_t m_nDialogWidth = 0;
    SkinRect m_rcWebButton;
    SkinRect m_rcFullscreenButton;
    SkinRect m_rcMoveModeButton;
    int32_t m_ColorKeyButtons[3] = {};   // red, green, blue
    SkinRect m_rcBackground;
    int32_t m_bUseBorder = 0;
    int32_t m_ColorKeyBorder[3] = {};
    char m_szName[SKIN_NAME_SIZE] = "";
    char m_szAuthor[SKIN_AUTHOR_SIZE] = "";
};
