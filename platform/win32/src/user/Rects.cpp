// Rectangle helpers. Rectangles exclude their right and bottom edges.
#include <win32/user.h>

#include <algorithm>
#include <cstdlib>

BOOL SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom)
{
    if (!lprc)
        return FALSE;
    *lprc = {xLeft, yTop, xRight, yBottom};
    return TRUE;
}

BOOL SetRectEmpty(LPRECT lprc)
{
    return SetRect(lprc, 0, 0, 0, 0);
}

BOOL CopyRect(LPRECT lprcDst, const RECT* lprcSrc)
{
    if (!lprcDst || !lprcSrc)
        return FALSE;
    *lprcDst = *lprcSrc;
    return TRUE;
}

BOOL IsRectEmpty(const RECT* lprc)
{
    return !lprc || lprc->right <= lprc->left || lprc->bottom <= lprc->top;
}

BOOL EqualRect(const RECT* a, const RECT* b)
{
    return a && b && a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

BOOL PtInRect(const RECT* lprc, POINT pt)
{
    return lprc && pt.x >= lprc->left && pt.x < lprc->right && pt.y >= lprc->top && pt.y < lprc->bottom;
}

BOOL OffsetRect(LPRECT lprc, int dx, int dy)
{
    if (!lprc)
        return FALSE;
    lprc->left += dx;
    lprc->right += dx;
    lprc->top += dy;
    lprc->bottom += dy;
    return TRUE;
}

BOOL InflateRect(LPRECT lprc, int dx, int dy)
{
    if (!lprc)
        return FALSE;
    lprc->left -= dx;
    lprc->right += dx;
    lprc->top -= dy;
    lprc->bottom += dy;
    return TRUE;
}

BOOL IntersectRect(LPRECT lprcDst, const RECT* a, const RECT* b)
{
    if (!lprcDst || !a || !b)
        return FALSE;
    RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
           std::min(a->bottom, b->bottom)};
    if (IsRectEmpty(&r))
    {
        SetRectEmpty(lprcDst);
        return FALSE;
    }
    *lprcDst = r;
    return TRUE;
}

BOOL UnionRect(LPRECT lprcDst, const RECT* a, const RECT* b)
{
    if (!lprcDst || !a || !b)
        return FALSE;
    if (IsRectEmpty(a) && IsRectEmpty(b))
    {
        SetRectEmpty(lprcDst);
        return FALSE;
    }
    if (IsRectEmpty(a))
        *lprcDst = *b;
    else if (IsRectEmpty(b))
        *lprcDst = *a;
    else
        *lprcDst = {std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                    std::max(a->bottom, b->bottom)};
    return TRUE;
}

int MulDiv(int nNumber, int nNumerator, int nDenominator)
{
    if (nDenominator == 0)
        return -1;
    // Rounds half away from zero, as Windows does; the product is taken in 64 bits.
    int64_t product = static_cast<int64_t>(nNumber) * nNumerator;
    int64_t d = nDenominator;
    bool bNegative = (product < 0) != (d < 0);
    int64_t q = (std::llabs(product) + std::llabs(d) / 2) / std::llabs(d);
    q = bNegative ? -q : q;
    return q > INT32_MAX || q < INT32_MIN ? -1 : static_cast<int>(q);
}
