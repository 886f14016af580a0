#include "install/install_folder.h"
#include "runtime/run_time_error.h"

#include <gtest/gtest.h>

namespace fennimark {
namespace {

std::wstring field(const std::wstring& value)
{
    std::wstring text = value + L'\0';
    text.resize(255, L' ');
    return text;
}

TEST(InstallFolder, IsTheFieldTrimmedWithoutItsNul)
{
    EXPECT_EQ(install_folder_from_field(field(L"C:\\Cat")), L"C:\\Cat");
    EXPECT_EQ(install_folder_from_field(L"   " + field(L"C:\\Cat")), L"C:\\Cat");
    EXPECT_EQ(install_folder_from_field(field(L"")), L"");
    // Text without the NUL loses its real last character.
    EXPECT_EQ(install_folder_from_field(L"C:\\Cat  "), L"C:\\Ca");
}

TEST(InstallFolder, EmptyOrBlankTextIsRunTimeErrorFive)
{
    for (const std::wstring& text : {std::wstring(), std::wstring(255, L' ')}) {
        try {
            install_folder_from_field(text);
            ADD_FAILURE() << "no error";
        } catch (const runtime::RunTimeError& failure) {
            EXPECT_EQ(failure.number(), 5);
        }
    }
}

TEST(InstallFolder, TheMissingSeparatorBeforeProgettoHtmlIsRepaired)
{
    EXPECT_EQ(install_folder_from_field(field(L"C:\\Programmi\\Fennimarkprogetto_html")),
              L"C:\\Programmi\\Fennimark\\progetto_html");
    // Every occurrence gets one, even one that had it already.
    EXPECT_EQ(repaired_folder_name(L"C:\\progetto_html\\FENNIMARKprogetto_html"),
              L"C:\\\\progetto_html\\FENNIMARK\\progetto_html");
}

TEST(InstallFolder, LookAlikesStayAsTheyAre)
{
    // The test ignores case but the replacement does not.
    EXPECT_EQ(repaired_folder_name(L"C:\\Programmi\\FennimarkProgetto_HTML"), L"C:\\Programmi\\FennimarkProgetto_HTML");
    EXPECT_EQ(repaired_folder_name(L"C:\\Programmi\\Fennimark\\progetto_html"), L"C:\\Programmi\\Fennimark\\progetto_html");
    EXPECT_EQ(repaired_folder_name(L"C:\\Programmi\\Fennimark progetto_html"), L"C:\\Programmi\\Fennimark progetto_html");
}

}  // namespace
}  // namespace fennimark
