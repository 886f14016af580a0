#include "app/form1.h"
#include "extract/zip_callbacks.h"
#include "extract/zip_driver.h"
#include "extract/zip_reset.h"
#include "extract/zip_state.h"
#include "runtime/events.h"
#include "runtime/handles.h"
#include "runtime/program_folder.h"
#include "runtime/run_time_error.h"
#include "tests/extract/stand_in_unzip32.h"
#include "tests/support/box_recorder.h"
#include "tests/support/files.h"
#include "tests/support/library_entry.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace fennimark {
namespace {

using testing::StandInScript;
using testing::StandInSeen;

// The stand-in library beside this program, loaded by the same name as the driver loads it, so
// that both reach the one module.
class StandIn {
public:
    StandIn() : library_(LoadLibraryA("unzip32.dll"))
    {
        if (!library_)
            throw std::runtime_error("the stand-in unzip32.dll is not beside the test program");
        script_ = testing::library_entry<testing::StandInScriptEntry>(library_.get(), "stand_in_script");
        seen_ = testing::library_entry<testing::StandInSeenEntry>(library_.get(), "stand_in_seen");
    }

    void script(const StandInScript& script) const { script_(&script); }
    const StandInSeen& seen() const { return *seen_(); }

private:
    runtime::LibraryHandle library_;
    testing::StandInScriptEntry script_ = nullptr;
    testing::StandInSeenEntry seen_ = nullptr;
};

class ZipDriver : public ::testing::Test {
protected:
    // The installer's reset before an extraction.
    void SetUp() override
    {
        zip::reset_extraction_state({});
    }

    // By default the installer's own call: ask before overwriting, overwrite, extract, keep the
    // folders, no names.
    static void extract(const std::wstring& archive = L"C:\\Patch\\catalogo.zip",
                        const std::wstring& folder = L"C:\\Fennimark città", std::int16_t ask = 1,
                        std::int16_t overwrite = 1, std::int16_t list_only = 0, std::int16_t folders = 1,
                        std::int32_t included = 0, std::int32_t excluded = 0)
    {
        zip::estrai_archivio(archive, folder, ask, overwrite, list_only, folders, included, excluded);
    }

    static std::vector<std::int32_t> flags(const StandInSeen& seen)
    {
        return {std::begin(seen.flags), std::end(seen.flags)};
    }

    static void expect_blank_version_texts(const StandInSeen& seen)
    {
        EXPECT_EQ(seen.structlen, 64u);
        EXPECT_EQ(std::string(seen.betalevel, 10), std::string(9, ' ') + '\0');
        EXPECT_EQ(std::string(seen.date, 20), std::string(19, ' ') + '\0');
        EXPECT_EQ(std::string(seen.zlib_version, 10), std::string(9, ' ') + '\0');
    }

    StandIn stand_in;
    testing::BoxRecorder user;
};

TEST_F(ZipDriver, TheLibraryReceivesTheInstallersRecordsAndItsStatusIsKept)
{
    stand_in.script({.status = 11});
    PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
    const auto events_before = runtime::do_events_count();

    extract();

    const StandInSeen& seen = stand_in.seen();
    EXPECT_EQ(runtime::do_events_count(), events_before + 1);
    EXPECT_FALSE(seen.messages_waiting) << "the window's events run before the library takes over";
    EXPECT_EQ(seen.version_call, 1);
    EXPECT_EQ(seen.unzip_call, 2);
    expect_blank_version_texts(seen);
    EXPECT_EQ(flags(seen), (std::vector<std::int32_t>{0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0}));
    EXPECT_STREQ(seen.archive, "C:\\Patch\\catalogo.zip");
    EXPECT_STREQ(seen.folder, "C:\\Fennimark citt\xe0");
    EXPECT_EQ(seen.include_count, 0);
    EXPECT_EQ(seen.exclude_count, 0);
    EXPECT_EQ(seen.include_texts, 0);
    EXPECT_EQ(seen.exclude_texts, 0);
    EXPECT_EQ(seen.callbacks, &zip::funzioni_utente);
    EXPECT_TRUE(seen.callback_fields.print == &zip::ricevi_stampa);
    EXPECT_TRUE(seen.callback_fields.sound == nullptr);
    EXPECT_TRUE(seen.callback_fields.replace == &zip::chiedi_sovrascrittura);
    EXPECT_TRUE(seen.callback_fields.password == &zip::chiedi_password);
    EXPECT_TRUE(seen.callback_fields.SendApplicationMessage == &zip::elenca_file);
    EXPECT_TRUE(seen.callback_fields.ServCallBk == &zip::avanza_estrazione);

    EXPECT_EQ(zip::codice_ritorno, 11);
    // The texts the option record pointed to are gone.
    EXPECT_EQ(zip::opzioni_zip.lpszZipFN, nullptr);
    EXPECT_EQ(zip::opzioni_zip.lpszExtractDir, nullptr);
}

TEST_F(ZipDriver, FlagsKeepTheirSignInThirtyTwoBits)
{
    stand_in.script({.status = -1});
    extract(L"a.zip", L"C:\\x", -1, -1, -1, -1);
    EXPECT_EQ(flags(stand_in.seen()), (std::vector<std::int32_t>{0, 0, -1, 0, 0, 0, -1, 0, 0, -1, -1, 0, 0, 0, 0}));
    EXPECT_EQ(static_cast<std::uint32_t>(stand_in.seen().flags[2]), 0xFFFFFFFFu);
    EXPECT_EQ(zip::codice_ritorno, -1);
}

TEST_F(ZipDriver, CallbacksReachTheLogTheListingAndTheUserAndEachCallStartsTheRecordsAfresh)
{
    stand_in.script({.printed = "inflating: a.txt\r\n",
                     .printed_length = 18,
                     .listed_name = "a.txt",
                     .size = 1234, .month = 3, .day = 5, .year = 2008, .hour = 9, .minute = 7,
                     .existing_name = "a.txt",
                     .ask_password = true});
    user.answer_with({runtime::box_answer::no, runtime::box_answer::cancel});
    zip::elenco_file = L"an earlier listing\r\n";

    extract();
    const StandInSeen& seen = stand_in.seen();
    EXPECT_EQ(zip::registro_messaggi, L"inflating: a.txt\r\n");
    EXPECT_EQ(zip::elenco_file.substr(0, 9), L"Filename:");
    EXPECT_EQ(zip::elenco_file.substr(82, 82), L"a.txt" + std::wstring(48, L' ') + L"1234   5/03/08   9:07      \r\n");
    EXPECT_EQ(zip::elenco_file.size(), 2u * 82);
    EXPECT_EQ(seen.replace_answer, 100);
    EXPECT_EQ(seen.password_answer, 1);
    EXPECT_TRUE(seen.password_buffer_untouched);
    ASSERT_EQ(user.boxes().size(), 1u);
    EXPECT_EQ(user.boxes()[0].text, L"Overwrite a.txt?");

    // Without the installer's reset the log and the listing grow; the stand-in scribbled over
    // the version record, which is made anew all the same.
    extract();
    EXPECT_EQ(zip::registro_messaggi, L"inflating: a.txt\r\ninflating: a.txt\r\n");
    EXPECT_EQ(zip::elenco_file.size(), 3u * 82);
    EXPECT_EQ(zip::elenco_file.substr(164), zip::elenco_file.substr(82, 82));
    EXPECT_EQ(zip::numero_file, 2);
    EXPECT_EQ(seen.replace_answer, 104);
    EXPECT_EQ(seen.version_call, 3);
    expect_blank_version_texts(seen);
}

TEST_F(ZipDriver, NamesTravelAsEightBitTextsAndEmptyTextsAsNull)
{
    zip::nomi_inclusi[0] = L"città.txt";
    zip::nomi_esclusi[99] = L"x";
    extract(L"", L"", 1, 1, 0, 1, 1, 100);
    const StandInSeen& seen = stand_in.seen();
    EXPECT_EQ(seen.include_count, 1);
    EXPECT_EQ(seen.exclude_count, 100);
    EXPECT_EQ(seen.include_texts, 1);
    EXPECT_EQ(seen.exclude_texts, 1);
    EXPECT_STREQ(seen.first_include, "citt\xe0.txt");
    EXPECT_TRUE(seen.archive_null);
    EXPECT_TRUE(seen.folder_null);
}

TEST_F(ZipDriver, CountsBeyondTheNameListsAreRefusedBeforeTheLibraryIsCalled)
{
    zip::codice_ritorno = 7;
    for (const auto& [included, excluded] : {std::pair{101, 0}, std::pair{0, 101}}) {
        try {
            extract(L"a.zip", L"C:\\x", 1, 1, 0, 1, included, excluded);
            ADD_FAILURE() << "no error for counts " << included << ", " << excluded;
        } catch (const runtime::RunTimeError& failure) {
            EXPECT_EQ(failure.number(), runtime::error::invalid_call);
        }
    }
    EXPECT_EQ(stand_in.seen().calls, 0);
    EXPECT_EQ(zip::codice_ritorno, 7);

    // A negative count is the library's to refuse.
    extract(L"a.zip", L"C:\\x", 1, 1, 0, 1, -1, -1);
    EXPECT_EQ(stand_in.seen().include_count, -1);
    EXPECT_EQ(stand_in.seen().exclude_count, -1);
}

// The installer's own calls: the archive listed first, then the state reset, then the extraction,
// each with the flags as 1 (not as True, -1), and the extraction starting from the reset state.
TEST_F(ZipDriver, TheInstallerListsThenResetsTheStateThenExtracts)
{
    testing::TempFolder install_folder, patch_folder;
    testing::write_file(install_folder / L"patch.txt", "7         a\r\n");
    testing::write_file(patch_folder / L"catalogo.zip", "");
    const runtime::ScopedProgramFolder here(patch_folder.path());
    zip::fine_riga = L"|";
    zip::registro_messaggi = L"earlier";
    zip::numero_file = 5;
    zip::nomi_inclusi[0] = L"x";
    zip::nomi_esclusi[0] = L"y";
    StandInScript script;
    script.printed = "printed\n";
    script.printed_length = 8;
    script.listed_name = "catalogo/index.html";
    stand_in.script(script);

    std::wstring field = install_folder.path().wstring() + L'\0';
    field.resize(255, L' ');
    Form1 form;
    form.correzione_path(field);

    const StandInSeen& seen = stand_in.seen();
    EXPECT_EQ(std::vector<std::int32_t>(std::begin(seen.previous_flags), std::end(seen.previous_flags)),
              (std::vector<std::int32_t>{0, 0, 1, 0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(flags(seen), (std::vector<std::int32_t>{0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(seen.include_texts + seen.exclude_texts, 0);
    // Only what the extraction's own call left: the listing's print and line were reset away.
    EXPECT_EQ(zip::registro_messaggi, L"printed\n");
    EXPECT_EQ(zip::numero_file, 1);
    ASSERT_EQ(zip::elenco_file.size(), 2 * (80 + 2));
    EXPECT_EQ(zip::elenco_file.substr(0, 9), L"Filename:");
    EXPECT_EQ(zip::elenco_file.substr(80, 2), L"\r\n");
    EXPECT_EQ(zip::elenco_file.substr(82, 19), L"catalogo/index.html");
    EXPECT_TRUE(user.boxes().empty());
}

}  // namespace
}  // namespace fennimark
