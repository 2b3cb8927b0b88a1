// SystemParametersInfo: the non-client metrics, from the layer's metrics and its stock
// user-interface font.
#include <win32/sysparams.h>
#include <win32/user.h>

#include <cstddef>
#include <cstring>

static_assert(offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth) == 340, "the record's classic size is 340 bytes");

BOOL SystemParametersInfoA(UINT uiAction, UINT, PVOID pvParam, UINT)
{
    if (uiAction != SPI_GETNONCLIENTMETRICS || !pvParam)
        return FALSE;
    auto* pMetrics = static_cast<NONCLIENTMETRICSA*>(pvParam);
    const UINT cbSize = pMetrics->cbSize;
    if (cbSize != offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth) && cbSize != sizeof(NONCLIENTMETRICSA))
        return FALSE;
    LOGFONTA lfGui{};
    if (!GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(lfGui), &lfGui))
        return FALSE;
    LOGFONTA lfBold = lfGui;
    lfBold.lfWeight = FW_BOLD;

    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = cbSize;
    metrics.iBorderWidth = GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXDLGFRAME);
    metrics.iScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
    metrics.iScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
    metrics.iCaptionWidth = GetSystemMetrics(SM_CXSIZE);
    metrics.iCaptionHeight = GetSystemMetrics(SM_CYSIZE);
    metrics.lfCaptionFont = lfBold;
    metrics.iSmCaptionWidth = GetSystemMetrics(SM_CXSMSIZE);
    metrics.iSmCaptionHeight = GetSystemMetrics(SM_CYSMSIZE);
    metrics.lfSmCaptionFont = lfBold;
    metrics.iMenuWidth = GetSystemMetrics(SM_CYMENU);
    metrics.iMenuHeight = GetSystemMetrics(SM_CYMENU);
    metrics.lfMenuFont = lfGui;
    metrics.lfStatusFont = lfGui;
    metrics.lfMessageFont = lfGui;
    std::memcpy(pMetrics, &metrics, cbSize);
    return TRUE;
}
