// What only Windows has: reserved device names, ':' streams, names beyond the 8-bit code page,
// and the library found by name beside the program that loads it.

#include "tests/support/library_entry.h"
#include "unzip_harness.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace unzip32_test {
namespace {

using Names = std::vector<std::string>;

TEST(WindowsNames, DevicesAndStreamsAreRefusedAndOtherNamesRepaired)
{
    ScratchFolder target;
    Unzip unzip(archive("windows_names.zip"), target.path());
    EXPECT_EQ(unzip.run(), UZ_WARNING);
    EXPECT_EQ(tree(target.path()), (Names{"dir/", "dir/inner.txt", "ok.txt", "trailing", "what_.txt"}));
    for (const char* name : {"CON", "nul.txt", "sub/COM1.log", "aux"})
        EXPECT_TRUE(unzip.printed(std::string("warning: ") + name + " was skipped: its name is one that Windows reserves"))
            << name;
    EXPECT_TRUE(unzip.printed("warning: ab:c.txt was skipped: its name holds a ':'"));
    EXPECT_TRUE(unzip.printed("warning: stream.txt:hidden was skipped"));
}

TEST(WindowsNames, NamesBeyondTheCodePageLandThroughTheWideCalls)
{
    ScratchFolder target;
    Unzip unzip(archive("names.zip"), target.path());
    ASSERT_EQ(unzip.run(), UZ_OK);
    const std::wstring greek = target.path().wstring() + L"\\\u03a9\u03bc\u03ad\u03b3\u03b1\\\u03c9.txt";
    const DWORD attributes = GetFileAttributesW(greek.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

// Windows folds the case of non-ASCII letters too: the large earlier entry and the tiny later one
// are one file, and the later one must be what is left, however long the earlier takes to write.
TEST(WindowsNames, NamesDifferingOnlyInCaseAreOneFileAndTheLaterWins)
{
    ScratchFolder target;
    Unzip unzip(archive("case_pair.zip"), target.path());
    unzip.workers = 2;
    unzip.routines.ServCallBk = nullptr;  // as the installer calls it
    EXPECT_EQ(unzip.run(), UZ_OK);
    std::vector<fs::path> files;
    for (const auto& item : fs::directory_iterator(target.path()))
        files.push_back(item.path());
    ASSERT_EQ(files.size(), 1u);
    ASSERT_EQ(fs::file_size(files[0]), 5u) << "the earlier, larger entry is what was left";
    EXPECT_EQ(read_file(files[0]), "tiny\n");
}

TEST(WindowsLibrary, LoadsByNameFromBesideTheProgram)
{
    HMODULE library = LoadLibraryW(L"unzip32.dll");
    ASSERT_NE(library, nullptr);
    wchar_t loaded[MAX_PATH] = {};
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(library, loaded, MAX_PATH);
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    EXPECT_EQ(fs::path(loaded).parent_path(), fs::path(program).parent_path());

    const auto version = fennimark::testing::library_entry<UzpVersion2Fn>(library, "UzpVersion2");
    const auto unzip = fennimark::testing::library_entry<Wiz_SingleEntryUnzipFn>(library, "Wiz_SingleEntryUnzip");
    ASSERT_NE(version, nullptr);
    ASSERT_NE(unzip, nullptr);
    UzpVer2 record{};
    record.structlen = sizeof record;
    version(&record);
    EXPECT_EQ(record.unzip.major, UNZIP32_VERSION_MAJOR);
    FreeLibrary(library);
}

}  // namespace
}  // namespace unzip32_test
