// The installer's module with our archive library beside it, on a real catalogue archive: the
// extraction the installer asks for, the listing, and the overwrite question.

#include "extract/zip_driver.h"
#include "extract/zip_reset.h"
#include "extract/zip_state.h"
#include "tests/support/box_recorder.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <algorithm>

#ifndef CATALOGUE_ARCHIVE
#error "CATALOGUE_ARCHIVE names the test catalogue archive"
#endif

namespace fennimark {
namespace {

std::wstring catalogue_archive()
{
    std::wstring path = L"Z:" CATALOGUE_ARCHIVE;
    for (auto& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

std::vector<std::wstring> lines_of(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    for (std::size_t start = 0, end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

class ZipWithLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        zip::reset_extraction_state({});
        zip::elenco_file = L"left from before";
        zip::codice_ritorno = -1;
    }
    void extract(std::int16_t ask, std::int16_t overwrite, std::int16_t list_only)
    {
        const std::int16_t keep_folders = 1;
        const std::int32_t none = 0;
        zip::estrai_archivio(catalogue_archive(), target_.path(), ask, overwrite, list_only, keep_folders, none, none);
    }

    testing::TempFolder target_;
    testing::BoxRecorder user_;
};

TEST_F(ZipWithLibrary, ExtractsTheCatalogueAsTheInstallerAsks)
{
    extract(1, 1, 0);
    EXPECT_EQ(zip::codice_ritorno, 0);
    EXPECT_EQ(testing::list_tree(target_ / L"catalogo"),
              (std::vector<std::wstring>{L"immagini\\", L"immagini\\logo.png", L"index.html", L"schede\\",
                                         L"schede\\001.html", L"schede\\002.html"}));
    EXPECT_EQ(testing::read_file(target_ / L"catalogo\\schede\\001.html"), "<html><body>Scheda 1</body></html>\n");
    // What the library said went to the log; no listing is made when extracting.
    EXPECT_NE(zip::registro_messaggi.find(L"index.html"), std::wstring::npos) << zip::registro_messaggi;
    EXPECT_EQ(zip::elenco_file, L"left from before");
    EXPECT_TRUE(user_.boxes().empty());
}

TEST_F(ZipWithLibrary, ListsTheCatalogueInFixedColumnsWithoutWritingAnything)
{
    extract(0, 0, 1);
    EXPECT_EQ(zip::codice_ritorno, 0);
    EXPECT_TRUE(testing::list_tree(target_.path()).empty());
    const auto lines = lines_of(zip::elenco_file);
    ASSERT_EQ(lines.size(), 5u) << zip::elenco_file;
    EXPECT_EQ(zip::numero_file, 4);
    for (const auto& line : lines)
        EXPECT_EQ(line.size(), 80u);
    EXPECT_EQ(lines[0].substr(0, 9), L"Filename:");
    const auto index = std::find_if(lines.begin(), lines.end(),
                                    [](const auto& line) { return line.rfind(L"catalogo/index.html ", 0) == 0; });
    ASSERT_NE(index, lines.end());
    EXPECT_EQ(index->substr(50, 24), L"     67  30/11/26   9:07");
}

TEST_F(ZipWithLibrary, AsksBeforeOverwritingWhenTheInstallerDoesNotForceIt)
{
    testing::make_folder(target_ / L"catalogo");
    testing::write_file(target_ / L"catalogo\\index.html", "mine");
    user_.answer_with({7});  // No
    extract(1, 0, 0);
    ASSERT_EQ(user_.boxes().size(), 1u);
    EXPECT_EQ(user_.boxes()[0].title, L"DUVarev - File already exists");
    EXPECT_EQ(user_.boxes()[0].style, 3u);
    EXPECT_EQ(user_.boxes()[0].text.rfind(L"Overwrite ", 0), 0u);
    EXPECT_NE(user_.boxes()[0].text.find(L"index.html?"), std::wstring::npos) << user_.boxes()[0].text;
    EXPECT_EQ(testing::read_file(target_ / L"catalogo\\index.html"), "mine");
    EXPECT_EQ(testing::read_file(target_ / L"catalogo\\schede\\001.html"), "<html><body>Scheda 1</body></html>\n");
}

}  // namespace
}  // namespace fennimark
