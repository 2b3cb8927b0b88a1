#include <win32/paths.h>
#include <win32/shellapi.h>

#include "TempDir.h"

#include "core/Log.h"

#include <gtest/gtest.h>

TEST(ShellExecuteTest, TheTargetIsOneArgumentAndMissingFilesAreRefused)
{
    TempDir dir;
    win32::PathConfig saved = win32::GetPathConfig();
    win32::PathConfig config = saved;
    config.m_strDataDir = dir / "share";
    config.m_strUserDir = dir / "user";
    win32::SetPathConfig(config);
    dir.Write("share/htmlDoc/Help; rm x.html", "<html></html>");

    std::vector<std::vector<std::string>> calls;
    win32::SetSpawnFunction([&](const std::vector<std::string>& args) {
        calls.push_back(args);
        return true;
    });
    auto result = [](HINSTANCE h) { return reinterpret_cast<INT_PTR>(h); };

    EXPECT_GT(result(ShellExecuteA(nullptr, "open", "C:\\Quenlaris\\htmlDoc\\Help; rm x.html", nullptr, nullptr, 1)), 32);
    EXPECT_GT(result(ShellExecuteA(nullptr, nullptr, "http://example.invalid/a\"b; rm x", nullptr, nullptr, 1)), 32);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], (std::vector<std::string>{"xdg-open", dir / "share/htmlDoc/Help; rm x.html"}));
    EXPECT_EQ(calls[1], (std::vector<std::string>{"xdg-open", "http://example.invalid/a\"b; rm x"}));

    SetLogEcho(false);
    ClearLogLines();
    EXPECT_EQ(result(ShellExecuteA(nullptr, "open", "htmlDoc\\Missing.html", nullptr, nullptr, 1)), SE_ERR_FNF);
    EXPECT_EQ(calls.size(), 2u);
    EXPECT_EQ(GetLogLines().size(), 1u);

    win32::SetSpawnFunction([](const std::vector<std::string>&) { return false; });
    EXPECT_EQ(result(ShellExecuteA(nullptr, "open", "https://example.invalid/", nullptr, nullptr, 1)), SE_ERR_NOASSOC);

    SetLogEcho(true);
    win32::SetSpawnFunction(nullptr);
    win32::SetPathConfig(saved);
}
