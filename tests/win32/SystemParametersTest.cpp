// The non-client metrics: both record sizes answered, other sizes and actions refused, the
// fonts those of the user-interface face and the sizes those of the system metrics.
#include <win32/gdi.h>
#include <win32/sysparams.h>
#include <win32/testing.h>
#include <win32/user.h>

#include <gtest/gtest.h>

#include <cstring>

TEST(SystemParametersTest, NonClientMetricsGiveTheInterfaceFontsAndTheMetricSizes)
{
    win32::Driver driver;
    LOGFONTA lfGui{};
    ASSERT_TRUE(GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(lfGui), &lfGui));
    for (UINT cbSize : {340u, 344u})
    {
        NONCLIENTMETRICSA metrics{};
        std::memset(&metrics, 0xCD, sizeof(metrics));
        metrics.cbSize = cbSize;
        ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, cbSize, &metrics, 0)) << cbSize;
        EXPECT_EQ(metrics.cbSize, cbSize);
        EXPECT_EQ(std::memcmp(&metrics.lfMenuFont, &lfGui, sizeof(lfGui)), 0);
        EXPECT_EQ(std::memcmp(&metrics.lfMessageFont, &lfGui, sizeof(lfGui)), 0);
        EXPECT_STREQ(metrics.lfCaptionFont.lfFaceName, lfGui.lfFaceName);
        EXPECT_EQ(metrics.lfCaptionFont.lfWeight, FW_BOLD);
        EXPECT_EQ(metrics.iMenuHeight, GetSystemMetrics(SM_CYMENU));
        EXPECT_EQ(metrics.iSmCaptionHeight, GetSystemMetrics(SM_CYSMSIZE));
        EXPECT_EQ(metrics.iScrollWidth, GetSystemMetrics(SM_CXVSCROLL));
        // The short record leaves what follows it alone.
        if (cbSize == 340)
        {
            EXPECT_EQ(static_cast<UINT>(metrics.iPaddedBorderWidth), 0xCDCDCDCDu);
        }
    }
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = 300;
    EXPECT_FALSE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 300, &metrics, 0));
    EXPECT_FALSE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, nullptr, 0));
    metrics.cbSize = 340;
    EXPECT_FALSE(SystemParametersInfoA(0x0001, 0, &metrics, 0));
}
