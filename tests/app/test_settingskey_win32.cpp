// The settings in the Windows registry (Wine's, under test): a key of its own per test
// under HKEY_CURRENT_USER, so the machine's key is never touched.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/registrysettings.h"
#include "platform/win32text.h"

namespace vela {
namespace {

class RegistryKeyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_subKey = "Software\\Corvane-test\\" + std::to_string(::GetCurrentProcessId()) + "-" + info->name();
        m_location = "HKEY_CURRENT_USER\\" + m_subKey;
    }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, Widen(m_subKey).c_str()); }
    bool KeyExists() const {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, Widen(m_subKey).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        ::RegCloseKey(key);
        return true;
    }
    void SetRaw(const wchar_t* name, const std::wstring& text) {
        HKEY key = nullptr;
        ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, Widen(m_subKey).c_str(), 0, KEY_ALL_ACCESS, &key),
                  ERROR_SUCCESS);
        ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                         static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(key);
    }

    std::string m_subKey;
    std::string m_location;
};

TEST_F(RegistryKeyTest, FirstAccessCreatesTheKeyAndFailsThenTheMarkerFollowsTheRun) {
    EXPECT_FALSE(RegistrySettings::PeekInt(m_location, PreviousShutdownStatus));
    EXPECT_FALSE(KeyExists());  // a peek creates nothing
    {
        RegistrySettings s(m_location);
        EXPECT_FALSE(s.PreviousShutdownWasNormal());
        EXPECT_TRUE(KeyExists());
        EXPECT_EQ(RegistrySettings::PeekInt(m_location, PreviousShutdownStatus), 0);
        std::int32_t v = -5;
        EXPECT_EQ(s.GetInt(CommunicationMode, v, 3), 0);
        EXPECT_EQ(v, 3);
        EXPECT_EQ(s.SetInt(ComPortNo, 11), 1);
        EXPECT_EQ(s.GetInt(ComPortNo, v, 0), 1);
        EXPECT_EQ(v, 11);
    }
    EXPECT_EQ(RegistrySettings::PeekInt(m_location, PreviousShutdownStatus), 1);
    RegistrySettings again(m_location);
    EXPECT_TRUE(again.PreviousShutdownWasNormal());
}

TEST_F(RegistryKeyTest, StringsReadAsIntegersPathsRoundTripAndTheQueryLimit) {
    RegistrySettings s(m_location);
    SetRaw(L"Communication Mode", L"  2xyz");
    std::int32_t v = 0;
    EXPECT_EQ(s.GetInt(CommunicationMode, v, 0), 1);
    EXPECT_EQ(v, 2);

    // Text beyond ASCII survives the registry's wide strings.
    const std::string folder = "C:\\Kamera\\Gr\xc3\xbc\x6e";
    EXPECT_EQ(s.SetString(CameraFilePath, folder), 1);
    std::string text;
    EXPECT_EQ(s.GetString(CameraFilePath, text), 1);
    EXPECT_EQ(text, folder);

    // 511 characters and the terminating zero fit the query buffer; one more does not.
    EXPECT_EQ(s.SetString(CommandLogFilePath, std::string(511, 'a')), 1);
    EXPECT_EQ(s.GetString(CommandLogFilePath, text), 1);
    EXPECT_EQ(s.SetString(CommandLogFilePath, std::string(512, 'a')), 1);
    EXPECT_EQ(s.GetString(CommandLogFilePath, text), 0);
}

}  // namespace
}  // namespace vela
