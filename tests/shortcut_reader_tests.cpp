// The shortcut reader on real .lnk files made by the shell's own link object.

#include "install/install_folder.h"
#include "shell/shortcut_reader.h"
#include "tests/support/files.h"
#include "tests/support/shortcuts.h"

#include <gtest/gtest.h>

namespace fennimark {
namespace {

std::wstring field(const std::wstring& value)
{
    std::wstring text = value + L'\0';
    text.resize(255, L' ');
    return text;
}

class ShortcutReader : public ::testing::Test {
protected:
    std::wstring link_with_working_folder(const std::wstring& folder)
    {
        testing::ShortcutFields fields;
        fields.working_folder = folder;
        testing::make_shortcut(link_, fields);
        return link_;
    }

    testing::TempFolder folder_;
    std::wstring link_ = folder_ / L"Fennimark.lnk";
};

TEST_F(ShortcutReader, WorkingFolderComesBackAsFieldTextThatTrimsBackToTheFolder)
{
    // A character outside the 8-bit code page comes back as itself, not as a look-alike.
    for (const std::wstring folder : {L"C:\\Cat", L"C:\\Utenti\\\x141ukasz\\Fennimark"}) {
        const std::wstring text = leggi_cartella_lavoro(link_with_working_folder(folder));
        EXPECT_EQ(text, field(folder)) << testing::narrow(folder);
        EXPECT_EQ(text.size(), 255u);
        EXPECT_EQ(install_folder_from_field(text), folder);
    }
}

TEST_F(ShortcutReader, NoWorkingFolderIsANulAndBlanks)
{
    EXPECT_EQ(leggi_cartella_lavoro(link_with_working_folder(L"")), field(L""));
}

TEST_F(ShortcutReader, ALongWorkingFolderKeepsItsFirst254CharactersAndTheNul)
{
    for (std::size_t length : {254u, 255u, 259u}) {
        std::wstring folder = L"C:\\";
        folder.resize(length, L'a');
        const std::wstring text = leggi_cartella_lavoro(link_with_working_folder(folder));
        ASSERT_EQ(text.size(), 255u) << length;
        EXPECT_EQ(text.substr(0, 254), folder.substr(0, 254)) << length;
        EXPECT_EQ(text[254], L'\0') << length;
    }
}

TEST_F(ShortcutReader, EverySixFieldsAreRead)
{
    testing::ShortcutFields fields;
    fields.target = L"C:\\windows\\notepad.exe";
    fields.working_folder = L"C:\\Programmi\\Fennimark";
    fields.arguments = L"/catalogo";
    fields.icon_path = L"C:\\windows\\system32\\shell32.dll";
    fields.icon_index = 3;
    testing::make_shortcut(link_, fields);

    std::wstring target, working, arguments, icon;
    std::int32_t index = 0, show = -5;
    EXPECT_EQ(leggi_collegamento(link_, target, working, arguments, icon, index, show), True);
    EXPECT_EQ(target, field(fields.target));
    EXPECT_EQ(working, field(fields.working_folder));
    EXPECT_EQ(arguments, field(fields.arguments));
    EXPECT_EQ(icon, field(fields.icon_path));
    EXPECT_EQ(index, 3);
    EXPECT_EQ(show, 1);  // Wine's link object keeps only the normal window state
}

TEST_F(ShortcutReader, AMissingFileOrAnEmptyPathIsFalseWithTheOutputsUntouched)
{
    for (const std::wstring& path : {(folder_ / L"missing.lnk").wstring(), std::wstring()}) {
        std::wstring target = L"t", working = L"w", arguments = L"a", icon = L"i";
        std::int32_t index = 11, show = 12;
        EXPECT_EQ(leggi_collegamento(path, target, working, arguments, icon, index, show), False);
        EXPECT_EQ(target + working + arguments + icon, L"twai");
        EXPECT_EQ(index, 11);
        EXPECT_EQ(show, 12);
        EXPECT_EQ(leggi_cartella_lavoro(path), L"");
    }
}

TEST_F(ShortcutReader, AFileThatIsNoShortcutIsFalse)
{
    testing::write_file(link_, "not a shortcut at all");
    std::wstring target, working, arguments, icon;
    std::int32_t index = 0, show = 0;
    EXPECT_EQ(leggi_collegamento(link_, target, working, arguments, icon, index, show), False);
    EXPECT_EQ(leggi_cartella_lavoro(link_), L"");
}

}  // namespace
}  // namespace fennimark
