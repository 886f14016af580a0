#include "app/quiet_reporter.h"
#include "extract/zip_callbacks.h"
#include "extract/zip_reset.h"
#include "extract/zip_state.h"
#include "runtime/log_file.h"
#include "runtime/message_box.h"
#include "runtime/text.h"
#include "tests/support/box_recorder.h"
#include "tests/support/files.h"
#include "tests/support/log_file.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace fennimark {
namespace {

using runtime::padded_right;

// Ends the test program at once with a failure, rather than leaving it to the system's crash
// handling, which under Wine waits for a debugger until the test times out.
LONG WINAPI report_overrun(EXCEPTION_POINTERS*)
{
    std::fputs("a callback read beyond the bytes it was given\n", stderr);
    ExitProcess(3);
}

// Bytes that end exactly where readable memory ends: a callback that reads one byte too many
// ends the test program.
class BytesBeforeGuardPage {
public:
    BytesBeforeGuardPage(std::size_t size, char fill)
    {
        SetUnhandledExceptionFilter(report_overrun);
        SYSTEM_INFO system{};
        GetSystemInfo(&system);
        const std::size_t readable = (size / system.dwPageSize + 1) * system.dwPageSize;
        base_ = static_cast<char*>(VirtualAlloc(nullptr, readable + system.dwPageSize, MEM_COMMIT | MEM_RESERVE,
                                                PAGE_READWRITE));
        DWORD previous = 0;
        if (!base_ || !VirtualProtect(base_ + readable, system.dwPageSize, PAGE_NOACCESS, &previous))
            throw std::runtime_error("cannot set up a guard page");
        data_ = base_ + readable - size;
        std::memset(data_, fill, size);
    }
    ~BytesBeforeGuardPage() { VirtualFree(base_, 0, MEM_RELEASE); }
    BytesBeforeGuardPage(const BytesBeforeGuardPage&) = delete;
    BytesBeforeGuardPage& operator=(const BytesBeforeGuardPage&) = delete;

    char* data() const { return data_; }

private:
    char* base_ = nullptr;
    char* data_ = nullptr;
};

class ZipCallbacks : public ::testing::Test {
protected:
    // As the installer resets the state before an extraction; the listing is left as it was.
    void SetUp() override
    {
        zip::reset_extraction_state({});
        zip::elenco_file = L"the listing of an earlier extraction\r\n";
    }

    static void list(const char* name, std::uint32_t size, std::uint32_t day = 5, std::uint32_t month = 3,
                     std::uint32_t year = 2008, std::uint32_t hour = 9, std::uint32_t minute = 7)
    {
        zip::elenca_file(size, size, 0, month, day, year, hour, minute, ' ', const_cast<char*>(name),
                         const_cast<char*>("Deflate"), 0, ' ');
    }

    // The last line of the listing: 80 columns before the final line break.
    static std::wstring last_line() { return zip::elenco_file.substr(zip::elenco_file.size() - 82, 80); }

    static std::wstring columns(const std::wstring& line, std::size_t first, std::size_t last)
    {
        return line.substr(first - 1, last - first + 1);
    }
};

const std::wstring heading = padded_right(L"Filename:", 52) + L"Size     Date     Time      ";

TEST_F(ZipCallbacks, TheFirstEntryAfterTheResetStartsANewListingAndTheNextOnesAddALineEach)
{
    list("docs\\a.txt", 1234);
    const std::wstring first = padded_right(L"docs\\a.txt", 50) + L"   1234" + L"  " + L" 5/03/08" + L"  " +
                               L" 9:07" + L"      ";
    ASSERT_EQ(heading.size(), 80u);
    ASSERT_EQ(first.size(), 80u);
    EXPECT_EQ(zip::elenco_file, heading + L"\r\n" + first + L"\r\n");
    EXPECT_EQ(zip::numero_file, 1);

    list("b.txt", 1234567, 31, 12, 8, 23, 59);
    const std::wstring second = padded_right(L"b.txt", 50) + L"1234567  31/12/08  23:59      ";
    EXPECT_EQ(zip::elenco_file, heading + L"\r\n" + first + L"\r\n" + second + L"\r\n");
    EXPECT_EQ(zip::numero_file, 2);
}

TEST_F(ZipCallbacks, LongNamesAreCutAndLargeSizesShowTheirLastSevenDigits)
{
    const std::string long_name(60, 'n');
    list(long_name.c_str(), 5);
    EXPECT_EQ(columns(last_line(), 1, 57), std::wstring(50, L'n') + L"      5");

    // The size column is seven wide: from 10,000,000 bytes on only the last seven digits show.
    list(long_name.c_str(), 12345678);
    EXPECT_EQ(columns(last_line(), 1, 59), std::wstring(50, L'n') + L"2345678  ");
    list("x", std::numeric_limits<std::uint32_t>::max());
    EXPECT_EQ(columns(last_line(), 1, 59), padded_right(L"x", 50) + L"4967295  ");
    EXPECT_EQ(last_line().size(), 80u);

    // A name with no NUL among its first 256 bytes is taken up to that limit and no further.
    const BytesBeforeGuardPage unterminated(256, 'u');
    list(unterminated.data(), 0);
    EXPECT_EQ(columns(last_line(), 1, 50), std::wstring(50, L'u'));
}

TEST_F(ZipCallbacks, TheEntryCounterStopsAtItsLargestValue)
{
    const std::wstring before = zip::elenco_file;
    zip::numero_file = std::numeric_limits<std::int32_t>::max();
    list("a.txt", 1);
    EXPECT_EQ(zip::numero_file, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(zip::elenco_file.substr(0, before.size()), before);
    EXPECT_EQ(zip::elenco_file.size(), before.size() + 82) << "one line added, no heading";
}

TEST_F(ZipCallbacks, PrintedTextIsTakenUpToItsLengthItsFirstNulOrTheLimit)
{
    char printed[] = "inflating: a.txt\r\n and more";
    EXPECT_EQ(zip::ricevi_stampa(printed, 18), 0);
    char with_nul[] = "ab\0cd";
    EXPECT_EQ(zip::ricevi_stampa(with_nul, 5), 0);
    char empty[] = "\0xyz";
    EXPECT_EQ(zip::ricevi_stampa(empty, 4), 0);
    EXPECT_EQ(zip::ricevi_stampa(printed, 0), 0);
    EXPECT_EQ(zip::ricevi_stampa(nullptr, 10), 0);
    char accented[] = "pu\xf2";
    EXPECT_EQ(zip::ricevi_stampa(accented, 3), 0);
    EXPECT_EQ(zip::registro_messaggi, L"inflating: a.txt\r\nabpuò");

    zip::registro_messaggi.clear();
    const BytesBeforeGuardPage unterminated(32001, 'x');
    EXPECT_EQ(zip::ricevi_stampa(unterminated.data(), 40000), 0);
    EXPECT_EQ(zip::registro_messaggi, std::wstring(32001, L'x'));
}

TEST_F(ZipCallbacks, TheOverwriteQuestionAndItsAnswers)
{
    testing::BoxRecorder user;
    user.answer_with({runtime::box_answer::yes, runtime::box_answer::no, runtime::box_answer::cancel,
                      runtime::box_answer::ok});
    char name[] = "a.txt";
    EXPECT_EQ(zip::chiedi_sovrascrittura(name), 103);
    EXPECT_EQ(zip::chiedi_sovrascrittura(name), 100);
    EXPECT_EQ(zip::chiedi_sovrascrittura(name), 104);
    EXPECT_EQ(zip::chiedi_sovrascrittura(name), 103);
    ASSERT_EQ(user.boxes().size(), 4u);
    EXPECT_EQ(user.boxes()[0].text, L"Overwrite a.txt?");
    EXPECT_EQ(user.boxes()[0].title, L"DUVarev - File already exists");
    EXPECT_EQ(user.boxes()[0].style, 3u);

    const BytesBeforeGuardPage unterminated(256, 'u');
    zip::chiedi_sovrascrittura(unterminated.data());
    EXPECT_EQ(user.boxes().back().text, L"Overwrite " + std::wstring(256, L'u') + L"?");
}

TEST_F(ZipCallbacks, AQuestionThatCannotBeAskedLeavesTheFile)
{
    runtime::ScopedMessageBoxHandler failing([](const runtime::MessageBoxRequest&) -> int {
        throw std::runtime_error("no box");
    });
    char name[] = "a.txt";
    EXPECT_EQ(zip::chiedi_sovrascrittura(name), 100);
}

TEST_F(ZipCallbacks, InQuietModeTheQuestionGoesToTheLogAndEveryFileIsReplaced)
{
    testing::BoxRecorder user;
    const testing::TempFolder folder;
    const std::wstring log_path = (folder / L"quiet.log").wstring();
    runtime::LogFile log(log_path);
    QuietReporter quiet(&log);
    const runtime::ScopedReporter reporting(quiet);
    char name[] = "a.txt";
    EXPECT_EQ(zip::chiedi_sovrascrittura(name), 103);
    EXPECT_TRUE(user.boxes().empty());
    EXPECT_EQ(testing::log_texts(testing::read_file(log_path)),
              (std::vector<std::wstring>{L"Overwrite a.txt?", L"Risposta data senza chiedere: sì, sostituisci tutti."}));
}

TEST_F(ZipCallbacks, NoPasswordIsEverGiven)
{
    char buffer[8] = {'k', 'e', 'e', 'p', ' ', 'm', 'e', '!'};
    EXPECT_EQ(zip::chiedi_password(buffer, sizeof buffer, "Password:", "a.txt"), 1);
    EXPECT_EQ(std::string(buffer, sizeof buffer), "keep me!");
    EXPECT_EQ(zip::chiedi_password(nullptr, 0, nullptr, nullptr), 1);
}

}  // namespace
}  // namespace fennimark
