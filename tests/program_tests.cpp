// The real program, started as a user starts it, in a prefix without the catalogue.

#include "runtime/handles.h"
#include "tests/support/box_watcher.h"
#include "tests/support/files.h"
#include "tests/support/process.h"
#include "tests/support/system_folders.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#ifndef FENNIMARK_PROGRAM
#error "FENNIMARK_PROGRAM names the built program"
#endif

namespace fennimark {
namespace {

using testing::system32_as_seen;

TEST(Program, WithoutTheCataloguePlacesTheLibrariesRefusesAndExitsWithOne)
{
    testing::remove_tree(testing::programs_folder() + L"\\Fennimark");
    testing::remove_tree(system32_as_seen + L"\\zip32.dll");
    testing::remove_tree(system32_as_seen + L"\\UNZIP32.DLL");
    testing::TempFolder patch;
    ASSERT_TRUE(CopyFileW(testing::from_build(FENNIMARK_PROGRAM).c_str(), (patch / L"fennimark_patch.exe").c_str(), FALSE));
    testing::write_file(patch / L"zip32.dll", "zip32");
    testing::write_file(patch / L"UNZIP32.DLL", "unzip32");

    const testing::Process program(patch / L"fennimark_patch.exe", patch.path());

    const auto box = testing::wait_for_box(L"Quorvane", 30000);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, L"Non hai installato il catalogo. La patch non può essere creata");
    testing::expect_icon(*box, testing::BoxIcon::error);
    EXPECT_EQ(box->buttons, std::vector<std::wstring>{L"OK"});
    // The libraries are in place while the box is still up.
    EXPECT_EQ(testing::read_file(system32_as_seen + L"\\zip32.dll"), "zip32");
    EXPECT_EQ(testing::read_file(system32_as_seen + L"\\UNZIP32.DLL"), "unzip32");
    testing::press(*box, IDOK);

    EXPECT_EQ(program.wait(30000), 1u);

    testing::remove_tree(system32_as_seen + L"\\zip32.dll");
    testing::remove_tree(system32_as_seen + L"\\UNZIP32.DLL");
}

// The version record and the icon, as Windows reads them from the file.
TEST(Program, CarriesItsItalianVersionRecordAndItsIcon)
{
    const std::wstring program = testing::from_build(FENNIMARK_PROGRAM);
    DWORD ignored = 0;
    std::vector<BYTE> record(GetFileVersionInfoSizeW(program.c_str(), &ignored));
    ASSERT_FALSE(record.empty());
    ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(record.size()), record.data()));
    struct Translation {
        WORD language, code_page;
    };
    Translation* translations = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                               &length));
    ASSERT_EQ(length, sizeof(Translation));
    EXPECT_EQ(translations->language, 0x0410);
    for (const wchar_t* name : {L"FileVersion", L"ProductVersion"}) {
        wchar_t* value = nullptr;
        const std::wstring key = L"\\StringFileInfo\\041004B0\\" + std::wstring(name);
        ASSERT_TRUE(VerQueryValueW(record.data(), key.c_str(), reinterpret_cast<void**>(&value), &length));
        EXPECT_EQ(std::wstring(value), L"1.00") << testing::narrow(name);
    }

    // Icon 1: one picture of 64 by 64 pixels in 256 colours.
    runtime::LibraryHandle file(LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(file);
    HRSRC group = FindResourceW(file.get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    ASSERT_NE(group, nullptr);
    const auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(file.get(), group)));
    ASSERT_NE(directory, nullptr);
    const WORD count = *reinterpret_cast<const WORD*>(directory + 4);
    bool found = false;
    for (WORD i = 0; i < count; ++i) {
        const BYTE* entry = directory + 6 + 14 * i;  // width, height, colours, reserved, planes, bits, ...
        const WORD bits = *reinterpret_cast<const WORD*>(entry + 6);
        found = found || (entry[0] == 64 && entry[1] == 64 && bits == 8);
    }
    EXPECT_TRUE(found);
}

}  // namespace
}  // namespace fennimark
