// One test program per way the archive library can fail to be there, each in a folder of its own
// with what it needs beside it. CASE names the test; EXPECTED_ERROR and EXPECTED_SUBJECT say what
// the driver must raise; STAND_IN_BESIDE says that a stand-in library lacking an entry lies beside
// the program.

#include "extract/zip_driver.h"
#include "extract/zip_state.h"
#include "runtime/run_time_error.h"
#include "tests/extract/stand_in_unzip32.h"
#include "tests/support/library_entry.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace fennimark {
namespace {

int extraction_error()
{
    const std::int16_t ask = 1, overwrite = 1, list_only = 0, folders = 1;
    const std::int32_t none = 0;
    try {
        zip::estrai_archivio(L"C:\\Patch\\catalogo.zip", L"C:\\Fennimark", ask, overwrite, list_only, folders, none,
                             none);
    } catch (const runtime::RunTimeError& failure) {
        EXPECT_EQ(failure.subject(), EXPECTED_SUBJECT);
        return failure.number();
    }
    return 0;
}

// Raised at every call, with the status left as it was.
TEST(ZipLibraryFailure, CASE)
{
#ifndef STAND_IN_BESIDE
    char found[MAX_PATH] = {};
    ASSERT_EQ(SearchPathA(nullptr, "unzip32.dll", nullptr, MAX_PATH, found, nullptr) != 0,
              EXPECTED_ERROR == runtime::error::library_load)
        << "an unexpected unzip32.dll is in the way: " << found;
#endif
    zip::codice_ritorno = 7;
    // A failed load is not remembered: the next call tries again and fails the same way.
    EXPECT_EQ(extraction_error(), EXPECTED_ERROR);
    EXPECT_EQ(extraction_error(), EXPECTED_ERROR);
    EXPECT_EQ(zip::codice_ritorno, 7);
    EXPECT_EQ(zip::opzioni_zip.lpszZipFN, nullptr);
    EXPECT_EQ(zip::opzioni_zip.lpszExtractDir, nullptr);
#ifdef STAND_IN_BESIDE
    // The version call went through each time before the missing entry was looked up.
    const auto seen = testing::library_entry<testing::StandInSeenEntry>(GetModuleHandleA("unzip32.dll"), "stand_in_seen");
    EXPECT_EQ(seen()->version_call, 2);
#endif
}

}  // namespace
}  // namespace fennimark
