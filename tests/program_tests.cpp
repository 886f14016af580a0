// The real program, started as a user starts it, in a prefix without the catalogue.

#include "runtime/handles.h"
#include "tests/support/box_watcher.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <vector>

#ifndef FENNIMARK_PROGRAM
#error "FENNIMARK_PROGRAM names the built program"
#endif

namespace fennimark {
namespace {

const std::wstring system32 = L"C:\\windows\\system32";

// The build's path is a Linux path; Wine shows the Linux root as drive Z:.
std::wstring built_program()
{
    std::wstring path = L"Z:" FENNIMARK_PROGRAM;
    for (auto& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

std::wstring programs_folder()
{
    wchar_t folder[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, folder);
    return folder;
}

TEST(Program, WithoutTheCataloguePlacesTheLibrariesRefusesAndExitsWithOne)
{
    testing::remove_tree(programs_folder() + L"\\Fennimark");
    testing::remove_tree(system32 + L"\\zip32.dll");
    testing::remove_tree(system32 + L"\\UNZIP32.DLL");
    testing::TempFolder patch;
    ASSERT_TRUE(CopyFileW(built_program().c_str(), (patch / L"fennimark_patch.exe").c_str(), FALSE));
    testing::write_file(patch / L"zip32.dll", "zip32");
    testing::write_file(patch / L"UNZIP32.DLL", "unzip32");

    std::wstring command = L"\"" + (patch / L"fennimark_patch.exe") + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, patch.path().c_str(),
                               &startup, &started));
    runtime::KernelHandle process(started.hProcess);
    runtime::KernelHandle thread(started.hThread);

    const auto box = testing::wait_for_box(L"Quorvane", 30000);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, L"Non hai installato il catalogo. La patch non può essere creata");
    EXPECT_EQ(box->icon, testing::BoxIcon::error);
    EXPECT_EQ(box->buttons, std::vector<std::wstring>{L"OK"});
    // The libraries are in place while the box is still up.
    EXPECT_EQ(testing::read_file(system32 + L"\\zip32.dll"), "zip32");
    EXPECT_EQ(testing::read_file(system32 + L"\\UNZIP32.DLL"), "unzip32");
    testing::press(*box, IDOK);

    ASSERT_EQ(WaitForSingleObject(process.get(), 30000), WAIT_OBJECT_0);
    DWORD exit_code = 99;
    GetExitCodeProcess(process.get(), &exit_code);
    EXPECT_EQ(exit_code, 1u);

    testing::remove_tree(system32 + L"\\zip32.dll");
    testing::remove_tree(system32 + L"\\UNZIP32.DLL");
}

// The version record and the icon, as Windows reads them from the file.
TEST(Program, CarriesItsItalianVersionRecordAndItsIcon)
{
    const std::wstring program = built_program();
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
