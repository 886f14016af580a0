#include "app/form1.h"
#include "runtime/handles.h"
#include "tests/shortcut_creator/received_call.h"
#include "tests/support/box_recorder.h"
#include "tests/support/files.h"
#include "tests/support/library_entry.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <memory>
#include <stdexcept>
#include <vector>

namespace fennimark {
namespace {

using testing::ReceivedCall;

const std::map<std::int32_t, std::wstring> toolkit_files{
    {4, L"STKIT432.DLL"}, {5, L"VB5STKIT.DLL"}, {6, L"VB6STKIT.DLL"}};

std::wstring program_folder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring program(path);
    return program.substr(0, program.rfind(L'\\'));
}

// A stand-in toolkit library, held loaded by the test so that what it records survives the
// creator's own release of it.
class StandIn {
public:
    explicit StandIn(const std::wstring& path) : library_(LoadLibraryW(path.c_str()))
    {
        if (!library_)
            throw std::runtime_error("cannot load a stand-in toolkit");
        received_call_ = testing::library_entry<const ReceivedCall*(WINAPI*)()>(library_.get(), "received_call");
        answer_with_ = testing::library_entry<void(WINAPI*)(std::int32_t)>(library_.get(), "answer_with");
    }

    const ReceivedCall& received() const { return *received_call_(); }
    void answer_with(std::int32_t result) const { answer_with_(result); }

private:
    runtime::LibraryHandle library_;
    const ReceivedCall*(WINAPI* received_call_)() = nullptr;
    void(WINAPI* answer_with_)(std::int32_t) = nullptr;
};

class ShortcutCreator : public ::testing::Test {
protected:
    void SetUp() override { take_toolkits_away(); }
    void TearDown() override
    {
        take_toolkits_away();
        EXPECT_TRUE(user_.boxes().empty()) << "a failure must not be shown";
    }

    // Puts the stand-in for toolkit `numero` beside the program, where the creator looks first.
    const StandIn& make_present(std::int32_t numero, const std::wstring& stash = L"toolkits")
    {
        const std::wstring& file = toolkit_files.at(numero);
        const std::wstring beside = folder_ + L"\\" + file;
        if (!CopyFileW((folder_ + L"\\" + stash + L"\\" + file).c_str(), beside.c_str(), FALSE))
            throw std::runtime_error("cannot put a stand-in toolkit in place");
        return *(held_[numero] = std::make_unique<StandIn>(beside));
    }

    // A file with the toolkit's name that is no library at all.
    void make_broken(std::int32_t numero) { testing::write_file(folder_ + L"\\" + toolkit_files.at(numero), "MZ?"); }

    // Removes every toolkit. Each must then be unloaded, as it is only when the creator released
    // every load it made.
    void take_toolkits_away()
    {
        held_.clear();
        for (const auto& [numero, file] : toolkit_files) {
            EXPECT_EQ(GetModuleHandleW(file.c_str()), nullptr) << "toolkit " << numero << " left loaded";
            DeleteFileW((folder_ + L"\\" + file).c_str());
        }
    }

    // The numbers of the toolkits whose entry was called, each call counted.
    std::vector<std::int32_t> called() const
    {
        std::vector<std::int32_t> numbers;
        for (const auto& [numero, stand_in] : held_)
            numbers.insert(numbers.end(), static_cast<std::size_t>(stand_in->received().calls), numero);
        return numbers;
    }

    const ReceivedCall& received_by(std::int32_t numero) const { return held_.at(numero)->received(); }

    static truth crea_collegamento(std::int32_t numero_kit, std::wstring testo1 = L"Fennimark",
                                   std::wstring testo2 = L"Catalogo", std::wstring testo3 = L"C:\\Fennimark\\index.htm")
    {
        Form1 form;
        return form.crea_collegamento(numero_kit, std::move(testo1), std::move(testo2), std::move(testo3));
    }

    static void expect_parent_arguments(const ReceivedCall& call)
    {
        EXPECT_EQ(call.flag, -1);
        EXPECT_STREQ(call.texts[4], "$(Programs)");
    }

private:
    std::wstring folder_ = program_folder();
    testing::BoxRecorder user_;
    std::map<std::int32_t, std::unique_ptr<StandIn>> held_;
};

TEST_F(ShortcutCreator, EachToolkitReceivesItsOwnArgumentList)
{
    for (std::int32_t numero : {4, 5, 6})
        make_present(numero);
    for (std::int32_t numero : {4, 5, 6}) {
        SCOPED_TRACE(numero);
        EXPECT_EQ(crea_collegamento(numero, L"Fennimark", L"Catalogo", L"C:\\Fennimark\\index.htm"), True);
        const ReceivedCall& call = received_by(numero);
        EXPECT_STREQ(call.texts[0], "Fennimark");
        EXPECT_STREQ(call.texts[1], "Catalogo");
        EXPECT_STREQ(call.texts[2], "C:\\Fennimark\\index.htm");
        EXPECT_STREQ(call.texts[3], "");
        EXPECT_EQ(call.null_texts, 0u) << "an empty text is still a text";
    }
    expect_parent_arguments(received_by(6));
    EXPECT_EQ(called(), (std::vector<std::int32_t>{4, 5, 6}));
}

TEST_F(ShortcutCreator, TheProbeChoosesTheHighestToolkitThatLoads)
{
    struct Round {
        std::vector<std::int32_t> present;
        std::int32_t chosen;
    };
    const Round rounds[] = {{{4, 6}, 6}, {{4, 5}, 5}, {{4, 5, 6}, 6}, {{5}, 5}, {{4}, 4}};
    for (const Round& round : rounds) {
        SCOPED_TRACE(::testing::Message() << "chosen " << round.chosen);
        for (std::int32_t numero : round.present)
            make_present(numero);
        EXPECT_EQ(crea_collegamento(0), True);
        EXPECT_EQ(called(), std::vector<std::int32_t>{round.chosen});
        if (round.chosen == 6)
            expect_parent_arguments(received_by(6));
        take_toolkits_away();
    }

    make_present(4);
    make_broken(6);
    EXPECT_EQ(crea_collegamento(0), True) << "a file that does not load is no toolkit";
    EXPECT_EQ(called(), std::vector<std::int32_t>{4});
}

TEST_F(ShortcutCreator, WithoutAToolkitToCallNothingIsCalled)
{
    EXPECT_EQ(crea_collegamento(0), False);
    make_broken(6);
    EXPECT_EQ(crea_collegamento(0), False);
    EXPECT_EQ(crea_collegamento(6), False);
    take_toolkits_away();

    make_present(4);
    make_present(6);
    for (std::int32_t numero : {7, -1, 1, 3})
        EXPECT_EQ(crea_collegamento(numero), False) << numero;
    EXPECT_EQ(crea_collegamento(5), False) << "a number given is used as it is, without a probe";
    EXPECT_TRUE(called().empty());
}

TEST_F(ShortcutCreator, ALibraryWithoutTheEntryGivesFalse)
{
    make_present(4);
    make_present(6, L"toolkits\\without_entry");
    EXPECT_EQ(crea_collegamento(6), False);
    EXPECT_EQ(crea_collegamento(0), False) << "the probe only loads, so it still chooses that library";
    EXPECT_TRUE(called().empty());
}

TEST_F(ShortcutCreator, AnyNonZeroResultIsSuccess)
{
    for (std::int32_t numero : {4, 6}) {
        const StandIn& toolkit = make_present(numero);
        for (std::int32_t result : {1, 0, -1, 0x100, 0x10000}) {
            toolkit.answer_with(result);
            EXPECT_EQ(crea_collegamento(numero), result != 0 ? True : False) << numero << ": " << result;
        }
    }
}

TEST_F(ShortcutCreator, TextsArriveInTheSystemCodePage)
{
    ASSERT_EQ(GetACP(), 1252u);
    make_present(6);
    EXPECT_EQ(crea_collegamento(6, L"Però", L"Città € è", L"C:\\Società\\già.htm"), True);
    const ReceivedCall& call = received_by(6);
    EXPECT_STREQ(call.texts[0], "Per\xf2");
    EXPECT_STREQ(call.texts[1], "Citt\xe0 \x80 \xe8");
    EXPECT_STREQ(call.texts[2], "C:\\Societ\xe0\\gi\xe0.htm");
}

TEST_F(ShortcutCreator, TextsTheCodePageCannotCarryWholeAreRefused)
{
    make_present(6);
    // Ł would arrive as L: a different folder, and a shortcut made in the wrong place.
    EXPECT_EQ(crea_collegamento(6, L"Łódź"), False);
    EXPECT_EQ(crea_collegamento(6, L"Fennimark", L"Каталог"), False);
    EXPECT_EQ(crea_collegamento(6, L"Fennimark", L"Catalogo", std::wstring(L"C:\\a.htm\0.exe", 13)), False);
    EXPECT_TRUE(called().empty());
}

}  // namespace
}  // namespace fennimark
