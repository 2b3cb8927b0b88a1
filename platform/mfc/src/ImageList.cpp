// CImageList: an image list handle owned by its object.
#include <mfc/afxcmn.h>

#include "HandleMaps.h"

IMPLEMENT_DYNAMIC(CImageList, CObject)

namespace
{
HandleMap<CImageList, HIMAGELIST>& ListMap()
{
    static HandleMap<CImageList, HIMAGELIST> s_Map;
    return s_Map;
}

void CleanListTemporaries()
{
    ListMap().DeleteTemporaries([](CImageList* p) { p->m_hImageList = nullptr; });
}

struct CleanerRegistration
{
    CleanerRegistration() { RegisterTempMapCleaner(CleanListTemporaries); }
} g_CleanerRegistration;
}

CImageList* CImageList::FromHandle(HIMAGELIST hImageList)
{
    return ListMap().FromHandle(hImageList, [](HIMAGELIST h) {
        auto p = std::make_unique<CImageList>();
        p->m_hImageList = h;
        return p;
    });
}

CImageList::~CImageList()
{
    DeleteImageList();
}

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow)
{
    if (m_hImageList)
        return FALSE;
    return Attach(ImageList_Create(cx, cy, nFlags, nInitial, nGrow));
}

BOOL CImageList::DeleteImageList()
{
    if (!m_hImageList)
        return FALSE;
    return ImageList_Destroy(Detach());
}

BOOL CImageList::Attach(HIMAGELIST hImageList)
{
    if (m_hImageList || !hImageList)
        return FALSE;
    m_hImageList = hImageList;
    ListMap().SetPermanent(hImageList, this);
    return TRUE;
}

HIMAGELIST CImageList::Detach()
{
    HIMAGELIST h = m_hImageList;
    if (h && ListMap().Permanent(h) == this)
        ListMap().RemovePermanent(h);
    m_hImageList = nullptr;
    return h;
}

int CImageList::Add(CBitmap* pbmImage, CBitmap* pbmMask)
{
    return ImageList_Add(m_hImageList, pbmImage ? static_cast<HBITMAP>(*pbmImage) : nullptr,
                         pbmMask ? static_cast<HBITMAP>(*pbmMask) : nullptr);
}

int CImageList::Add(CBitmap* pbmImage, COLORREF crMask)
{
    return ImageList_AddMasked(m_hImageList, pbmImage ? static_cast<HBITMAP>(*pbmImage) : nullptr, crMask);
}

BOOL CImageList::Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle)
{
    return pDC && ImageList_Draw(m_hImageList, nImage, pDC->GetSafeHdc(), pt.x, pt.y, nStyle);
}

int CImageList::Add(HICON hIcon)
{
    return ImageList_ReplaceIcon(m_hImageList, -1, hIcon);
}

int CImageList::Replace(int nImage, HICON hIcon)
{
    return ImageList_ReplaceIcon(m_hImageList, nImage, hIcon);
}
