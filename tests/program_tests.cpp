// The real program, started as a user starts it, in a prefix without the catalogue.

#include "tests/support/box_watcher.h"
#include "tests/support/files.h"
#include "tests/support/process.h"
#include "tests/support/system_folders.h"

#include <gtest/gtest.h>
#include <windows.h>

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

}  // namespace
}  // namespace fennimark
