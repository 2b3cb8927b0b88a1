#pragma once
// Icon strips kept in three states side by side: as loaded (0), darkened (1, the selected or hot
// look) and grey (2, the disabled look). With alpha asked for and a new enough common controls
// library the lists are 32-bit with the images' alpha channel; otherwise 24-bit with a light grey
// mask colour; without alpha 4-bit, where the grey state is drawn embossed.
#include <mfc/afxcmn.h>
#include <mfc/afxwin.h>

class CAlphaImageList
{
public:
    enum
    {
        STATE_NORMAL = 0,
        STATE_DARK = 1,
        STATE_GREY = 2,
    };
    // Pixels of this colour are transparent in 24- and 4-bit lists.
    static constexpr COLORREF MASK_COLOR = RGB(192, 192, 192);

    CAlphaImageList() = default;
    virtual ~CAlphaImageList();

    // nMode 1 asks for alpha; other modes give 4-bit lists. 1 on success.
    BOOL Create(int cx, int cy, int nMode, int nInitial);
    // Appends bitmap resource nId to the three lists; 0 before Create or when it cannot be read.
    BOOL AddBitmap(UINT nId);
    // 0 for a state other than 0 to 2, before Create, and for the embossed grey of 4-bit lists.
    BOOL Draw(CDC* pDC, int x, int y, int nState, int nIndex);
    HIMAGELIST GetImageList(int nState);
    int GetDepth() const { return m_nDepth; }

private:
    CImageList* ListOf(int nState);
    BOOL DrawEmbossed(CDC* pDC, int x, int y, int nIndex);

    CImageList m_ilNormal;
    CImageList m_ilDark;
    CImageList m_ilGrey;
    int m_nDepth = 4;
    CSize m_szImage{-1, -1};
};
