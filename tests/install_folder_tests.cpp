#include "install/catalogue_entries.h"
#include "install/install_folder.h"
#include "runtime/run_time_error.h"
#include "tests/support/files.h"

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

TEST(InstallFolder, IsAbsoluteOnlyFromADriveRootOrAShare)
{
    for (const wchar_t* absolute : {L"C:\\", L"c:\\Cat", L"\\\\server\\share\\", L"\\\\server\\share\\Cat"})
        EXPECT_TRUE(is_absolute_folder(absolute)) << testing::narrow(absolute);
    for (const wchar_t* relative : {L"", L"Cat", L".\\Cat", L"\\Cat", L"C:", L"C:Cat", L"1:\\Cat", L"\\\\server",
                                    L"\\\\server\\share", L"\\\\\\share\\", L"\\\\server\\\\Cat"})
        EXPECT_FALSE(is_absolute_folder(relative)) << testing::narrow(relative);
}

TEST(CatalogueEntries, OnlyNamesBelowCatalogoLieInTheCatalogue)
{
    for (const wchar_t* inside : {L"catalogo/", L"catalogo/index.html", L"catalogo\\schede\\1.html", L"Catalogo/a",
                                  L"catalogo//a", L"catalogo/./a", L"catalogo/a..b/c"})
        EXPECT_TRUE(lies_in_catalogue(inside)) << testing::narrow(inside);
    for (const wchar_t* outside :
         {L"", L"catalogo", L"patch.txt", L"patch.txt - copia prima della patch 8",
          L"catalogo - copia prima della patch 8/index.html", L"catalogo/../patch.txt", L"catalogo\\..\\patch.txt",
          L"catalogo/a/../../patch.txt", L"/catalogo/a", L"./catalogo/a", L"catalogo2/a", L"catalogo./a",
          L"C:catalogo/a", L"catalogo:stream"})
        EXPECT_FALSE(lies_in_catalogue(outside)) << testing::narrow(outside);
}

}  // namespace
}  // namespace fennimark
