// Listing, testing, the name lists, the arguments, the routines and the version record.

#include "unzip_harness.h"

#include <gtest/gtest.h>
#include <zip.h>
#include <zlib.h>
// zlib.h names a macro after the version record's field.
#undef zlib_version

#include <stdexcept>

namespace unzip32_test {
namespace {

using Names = std::vector<std::string>;

std::uint32_t crc_of(const std::string& bytes)
{
    return static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

TEST(Listing, EachEntryOnceWithItsValuesAndTheTotals)
{
    ScratchFolder scratch;
    Unzip unzip(archive("basic.zip"), scratch / "untouched");
    unzip.options.nvflag = 1;
    ASSERT_EQ(unzip.run(), UZ_OK);
    EXPECT_FALSE(fs::exists(scratch / "untouched"));
    EXPECT_EQ(unzip.sounds, 0);

    ASSERT_EQ(unzip.listed.size(), 6u);
    const ListedEntry& stored = unzip.listed[0];
    EXPECT_EQ(stored.name, "stored.txt");
    EXPECT_EQ(stored.size, 12u);
    EXPECT_EQ(stored.compressed_size, 12u);
    EXPECT_EQ(stored.factor, 0u);
    EXPECT_EQ(stored.method, "Stored");
    EXPECT_EQ(stored.crc, crc_of("stored text\n"));
    EXPECT_EQ(stored.mark, ' ');
    EXPECT_EQ(stored.encrypted, ' ');
    EXPECT_EQ((std::vector<std::uint32_t>{stored.day, stored.month, stored.year, stored.hour, stored.minute}),
              (std::vector<std::uint32_t>{5, 3, 2008, 9, 7}));

    const ListedEntry& deflated = unzip.listed[1];
    EXPECT_EQ(deflated.size, 5500u);
    EXPECT_EQ(deflated.method, "Deflated");
    EXPECT_GT(deflated.factor, 90u);
    EXPECT_EQ((std::vector<std::uint32_t>{deflated.day, deflated.month, deflated.year, deflated.hour, deflated.minute}),
              (std::vector<std::uint32_t>{31, 12, 2019, 23, 59}));
    EXPECT_EQ(unzip.listed[2].name, "folder/");

    EXPECT_EQ(unzip.routines.NumMembers, 6u);
    EXPECT_EQ(unzip.routines.TotalSize, 12u + 5500u + 5u + 7u);
    EXPECT_LT(unzip.routines.TotalSizeComp, unzip.routines.TotalSize);
    EXPECT_GT(unzip.routines.CompFactor, 50u);
    EXPECT_EQ(unzip.routines.cchComment, 9u);
}

TEST(Listing, CountsPastTheClassicLimit)
{
    ScratchFolder scratch;
    Unzip unzip(archive("many.zip"), scratch.path());
    unzip.options.nvflag = 1;
    ASSERT_EQ(unzip.run(), UZ_OK);
    EXPECT_EQ(unzip.listed.size(), 70'000u);
    EXPECT_EQ(unzip.routines.NumMembers, 70'000u);
    EXPECT_EQ(unzip.listed.back().name, "d69/f69999.txt");
}

TEST(Testing, ChecksEveryEntryAndWritesNothing)
{
    ScratchFolder scratch;
    Unzip good(archive("basic.zip"), scratch / "untouched");
    good.options.ntflag = 1;
    EXPECT_EQ(good.run(), UZ_OK);
    EXPECT_TRUE(good.printed("tested: deflated.txt OK"));

    Unzip bad(archive("crc.zip"), scratch / "untouched");
    bad.options.ntflag = 1;
    EXPECT_EQ(bad.run(), UZ_BAD_ENTRIES);
    EXPECT_TRUE(bad.printed("tested: good.txt OK"));
    EXPECT_TRUE(bad.printed("error: bad.txt: CRC mismatch"));
    EXPECT_FALSE(fs::exists(scratch / "untouched"));
}

TEST(Testing, ReachesEveryEntryPastTheClassicLimit)
{
    ScratchFolder scratch;
    Unzip unzip(archive("many.zip"), scratch / "untouched");
    unzip.options.ntflag = 1;
    ASSERT_EQ(unzip.run(), UZ_OK);
    EXPECT_EQ(unzip.serviced.size(), 70'000u);
    EXPECT_TRUE(unzip.printed("tested: d69/f69999.txt OK"));
    EXPECT_FALSE(fs::exists(scratch / "untouched"));
}

struct FilterCase {
    Names include;
    Names exclude;
    bool ignore_case;
    std::int32_t status;
    Names written;
};

TEST(NameLists, WildcardsCaseAndMisses)
{
    const std::vector<FilterCase> cases = {
        {{"*.txt"}, {"folder/*"}, false, UZ_OK, {"deflated.txt", "spaced name.txt", "stored.txt"}},
        {{"stored.tx?"}, {}, false, UZ_OK, {"stored.txt"}},
        {{"folder\\nested\\*"}, {}, false, UZ_OK, {"folder/", "folder/nested/", "folder/nested/deep.txt"}},
        {{"STORED.TXT"}, {}, false, UZ_NO_MATCH, {}},
        {{"STORED.TXT"}, {}, true, UZ_OK, {"stored.txt"}},
        {{}, {"*"}, false, UZ_NO_MATCH, {}},
        {{"stored.txt", "missing.txt"}, {}, false, UZ_WARNING, {"stored.txt"}},
    };
    for (const FilterCase& filter : cases) {
        ScratchFolder target;
        Unzip unzip(archive("basic.zip"), target.path());
        unzip.include = filter.include;
        unzip.exclude = filter.exclude;
        unzip.options.C_flag = filter.ignore_case;
        const std::string shown = filter.include.empty() ? "-" : filter.include[0];
        EXPECT_EQ(unzip.run(), filter.status) << shown;
        EXPECT_EQ(tree(target.path()), filter.written) << shown;
    }
}

TEST(Arguments, BadOnesAndMissingArchivesGiveTheirStatus)
{
    ScratchFolder target;
    Unzip unzip(archive("basic.zip"), target.path());
    char* no_names[1] = {nullptr};
    EXPECT_EQ(Wiz_SingleEntryUnzip(0, no_names, 0, no_names, nullptr, &unzip.routines), UZ_BAD_PARAMS);
    EXPECT_EQ(Wiz_SingleEntryUnzip(0, no_names, 0, no_names, &unzip.options, nullptr), UZ_BAD_PARAMS);
    EXPECT_EQ(Wiz_SingleEntryUnzip(0, no_names, 0, no_names, &unzip.options, &unzip.routines), UZ_BAD_PARAMS);
    unzip.options.lpszZipFN = const_cast<char*>("x.zip");
    EXPECT_EQ(Wiz_SingleEntryUnzip(-1, no_names, 0, no_names, &unzip.options, &unzip.routines), UZ_BAD_PARAMS);
    EXPECT_EQ(Wiz_SingleEntryUnzip(1, no_names, 0, no_names, &unzip.options, &unzip.routines), UZ_BAD_PARAMS);
    EXPECT_EQ(Wiz_SingleEntryUnzip(0, no_names, 2, nullptr, &unzip.options, &unzip.routines), UZ_BAD_PARAMS);

    EXPECT_EQ(Unzip(archive("missing.zip"), target.path()).run(), UZ_NO_ARCHIVE);
    Unzip not_a_zip(archive("not_a_zip.zip"), target.path());
    EXPECT_EQ(not_a_zip.run(), UZ_NO_ARCHIVE);
    EXPECT_TRUE(not_a_zip.printed("not_a_zip.zip cannot be opened"));
    EXPECT_EQ(Unzip(archive("empty.zip"), target.path()).run(), UZ_WARNING);
    EXPECT_TRUE(fs::is_empty(target.path()));
}

TEST(Routines, NullFieldsAreNeverCalled)
{
    ScratchFolder target;
    write_file(target / "stored.txt", "old");
    for (int mode = 0; mode < 3; ++mode) {
        Unzip unzip(archive("basic.zip"), target.path());
        unzip.routines = USERFUNCTIONS{};
        unzip.options.noflag = 0;
        unzip.options.PromptToOverwrite = 1;
        unzip.options.nvflag = mode == 1;
        unzip.options.ntflag = mode == 2;
        EXPECT_EQ(unzip.run(), mode == 0 ? UZ_WARNING : UZ_OK);
    }
    EXPECT_EQ(read_file(target / "stored.txt"), "old");
}

TEST(Routines, TheServiceRoutineCanStopTheRun)
{
    ScratchFolder target;
    Unzip unzip(archive("basic.zip"), target.path());
    unzip.cancel_after = 2;
    EXPECT_EQ(unzip.run(), UZ_WARNING);
    EXPECT_EQ(tree(target.path()), (Names{"deflated.txt", "stored.txt"}));
    EXPECT_EQ(unzip.serviced, (Names{"stored.txt", "deflated.txt", "folder/"}));
}

std::int32_t UZ_CALL throwing_print(char*, std::uint32_t)
{
    throw std::runtime_error("thrown by the caller's routine");
}

TEST(Routines, AnExceptionNeverUnwindsIntoTheCaller)
{
#if defined(_WIN32) && !defined(_WIN64)
    GTEST_SKIP() << "32-bit Windows programs built with MinGW unwind by DWARF tables that each statically linked "
                    "module keeps to itself, so an exception thrown by the program cannot cross the library's "
                    "frames; C routines never throw";
#endif
    ScratchFolder target;
    Unzip unzip(archive("basic.zip"), target.path());
    unzip.routines.print = throwing_print;
    EXPECT_EQ(unzip.run(), UZ_INTERNAL);
}

// An archive with one entry encrypted with AES-256, made with libzip.
fs::path encrypted_archive(const ScratchFolder& scratch)
{
    const fs::path path = scratch / "encrypted.zip";
    int error = 0;
    zip_t* archive = zip_open(ansi(path).c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    static const char content[] = "secret content\n";
    zip_source_t* source = zip_source_buffer(archive, content, sizeof content - 1, 0);
    const zip_int64_t index = zip_file_add(archive, "secret.txt", source, 0);
    zip_file_set_encryption(archive, static_cast<zip_uint64_t>(index), ZIP_EM_AES_256, "right");
    zip_source_t* plain = zip_source_buffer(archive, "plain\n", 6, 0);
    zip_file_add(archive, "plain.txt", plain, 0);
    if (zip_close(archive) != 0)
        throw std::runtime_error("cannot make the encrypted archive");
    return path;
}

TEST(Encryption, PasswordsAreAskedAndChecked)
{
    if (!zip_encryption_method_supported(ZIP_EM_AES_256, 1))
        GTEST_SKIP() << "this libzip cannot encrypt";
    ScratchFolder scratch;
    const fs::path encrypted = encrypted_archive(scratch);

    Unzip right(encrypted, scratch / "right");
    right.passwords = {"right"};
    EXPECT_EQ(right.run(), UZ_OK);
    EXPECT_EQ(right.password_questions, Names{"secret.txt"});
    EXPECT_EQ(read_file(scratch / "right" / "secret.txt"), "secret content\n");

    Unzip declined(encrypted, scratch / "declined");
    declined.passwords = {std::nullopt};
    EXPECT_EQ(declined.run(), UZ_WARNING);
    EXPECT_TRUE(declined.printed("secret.txt is encrypted and was skipped"));
    EXPECT_EQ(tree(scratch / "declined"), Names{"plain.txt"});

    Unzip without_routine(encrypted, scratch / "without");
    without_routine.routines.password = nullptr;
    EXPECT_EQ(without_routine.run(), UZ_WARNING);

    Unzip wrong(encrypted, scratch / "wrong");
    wrong.passwords = {"wrong"};
    EXPECT_EQ(wrong.run(), UZ_BAD_PASSWORD);
    EXPECT_EQ(tree(scratch / "wrong"), Names{"plain.txt"});

    Unzip listing(encrypted, scratch / "listing");
    listing.options.nvflag = 1;
    EXPECT_EQ(listing.run(), UZ_OK);
    ASSERT_EQ(listing.listed.size(), 2u);
    EXPECT_EQ(listing.listed[0].mark, '*');
    EXPECT_EQ(listing.listed[0].encrypted, 'E');
    EXPECT_TRUE(listing.password_questions.empty());
}

// WinZip's AE-2 form carries no CRC (it is 0): the right password opens such an entry whatever its
// size, and a wrong one still does not.
TEST(Encryption, WinZipAesEntriesWithoutCrcOpenWithTheRightPassword)
{
    for (const auto& [password, status] : {std::pair{"right", UZ_OK}, std::pair{"wrong", UZ_BAD_PASSWORD}}) {
        ScratchFolder target;
        Unzip unzip(archive("aes2.zip"), target.path());
        unzip.passwords = {std::string(password)};
        EXPECT_EQ(unzip.run(), status) << password;
        EXPECT_EQ(tree(target.path()), status == UZ_OK ? Names{"secret.txt"} : Names{}) << password;
    }
    ScratchFolder target;
    Unzip unzip(archive("aes2.zip"), target.path());
    unzip.passwords = {std::string("right")};
    ASSERT_EQ(unzip.run(), UZ_OK);
    EXPECT_EQ(read_file(target / "secret.txt"), "A catalogue page that only the right password opens.\n");
}

TEST(Version, TheRecordIsFilledOnlyWhenItsLengthIsRight)
{
    UzpVer2 version{};
    version.structlen = sizeof(UzpVer2);
    UzpVersion2(&version);
    EXPECT_EQ(version.unzip.major, UNZIP32_VERSION_MAJOR);
    EXPECT_EQ(version.windll.major, UNZIP32_VERSION_MAJOR);
    EXPECT_STREQ(version.date, UNZIP32_VERSION_DATE);
    EXPECT_STREQ(version.zlib_version, zlibVersion());
    EXPECT_STREQ(version.betalevel, "");
    EXPECT_EQ(version.flag & 2u, 2u);

    UzpVer2 wrong_length{};
    wrong_length.structlen = 60;
    UzpVersion2(&wrong_length);
    EXPECT_EQ(wrong_length.unzip.major, 0);
    UzpVersion2(nullptr);
}

}  // namespace
}  // namespace unzip32_test
