// The installer as a deployment tool runs it: with switches, often with no one to answer a box.
// Each case sets up the machine, runs the real program with its command line, and checks the exit
// code, the boxes, the windows, the log and what was touched.

#include "app/single_instance.h"
#include "runtime/handles.h"
#include "tests/e2e/machine.h"
#include "tests/support/files.h"
#include "tests/support/log_file.h"
#include "tests/support/system_folders.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace fennimark::e2e {
namespace {

const std::string ledger_1_to_7 = "6         11/12/2021\r\n7         13/01/2022\r\n";
const std::wstring log_path = L"C:\\e2e\\deploy.log";
const std::wstring success = L"Patch installata con successo!";
const std::wstring no_catalogue = L"Non hai installato il catalogo. La patch non può essere creata";
const std::wstring bad_command_line = L"Riga di comando non valida. ";

std::wstring default_log()
{
    wchar_t folder[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, folder);
    return std::wstring(folder) + L"fennimark_patch8.log";
}

void catalogue_installed(Machine& machine)
{
    machine.put_shortcut(Machine::install_folder);
    machine.put_ledger(ledger_1_to_7);
    machine.put_old_catalogue();
    machine.put_patch();
}

void catalogue_without_shortcut(Machine& machine)
{
    machine.put_ledger(ledger_1_to_7);
    machine.put_old_catalogue();
    machine.put_patch();
}

enum class Touched { nothing, libraries_only, everything };

struct Case {
    const char* name;
    std::function<void(Machine&)> set_up;
    std::wstring arguments;
    unsigned long exit_code;
    std::vector<std::wstring> boxes;  // the start of each box's text; quiet cases must show none
    std::vector<std::wstring> log;    // the start of lines the log must hold, in this order
    std::wstring log_file = log_path;
    Touched touched = Touched::nothing;
    bool another_copy_running = false;
};

void PrintTo(const Case& c, std::ostream* out)
{
    *out << c.name;
}

std::string ledger()
{
    const std::wstring path = Machine::install_folder + L"\\patch.txt";
    return testing::file_exists(path) ? testing::read_file(path) : "";
}

bool is_quiet(std::wstring arguments)
{
    for (auto& c : arguments)
        c = static_cast<wchar_t>(towlower(c));
    return arguments.find(L"quiet") != std::wstring::npos;
}

bool starts_with(const std::wstring& text, const std::wstring& start)
{
    return text.rfind(start, 0) == 0;
}

std::wstring joined(const std::vector<std::wstring>& lines)
{
    std::wstring all;
    for (const auto& line : lines)
        all += line + L"\n";
    return all;
}

// Every expected start matched by a line, in order, other lines allowed between them.
void expect_in_order(const std::vector<std::wstring>& lines, const std::vector<std::wstring>& expected)
{
    auto line = lines.begin();
    for (const std::wstring& start : expected) {
        line = std::find_if(line, lines.end(), [&](const std::wstring& l) { return starts_with(l, start); });
        ASSERT_NE(line, lines.end()) << "no line starting " << ::testing::PrintToString(start) << " in:\n"
                                     << ::testing::PrintToString(joined(lines));
        ++line;
    }
}

class Deployment : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override { testing::remove_tree(default_log()); }
    void TearDown() override { testing::remove_tree(default_log()); }
    Machine machine_;
};

TEST_P(Deployment, Run)
{
    const Case& c = GetParam();
    c.set_up(machine_);
    const std::string ledger_before = ledger();

    runtime::KernelHandle other_copy;
    if (c.another_copy_running)
        other_copy.reset(CreateMutexW(nullptr, FALSE, single_instance_name));
    const InstallerRun run = machine_.run_installer(c.arguments);
    EXPECT_EQ(run.exit_code, c.exit_code);

    std::vector<std::wstring> box_texts;
    for (const auto& box : run.boxes) {
        EXPECT_EQ(box.title, L"Quorvane");
        box_texts.push_back(box.text);
    }
    ASSERT_EQ(box_texts.size(), c.boxes.size()) << ::testing::PrintToString(joined(box_texts));
    for (std::size_t i = 0; i < c.boxes.size(); ++i)
        EXPECT_TRUE(starts_with(box_texts[i], c.boxes[i])) << ::testing::PrintToString(box_texts[i]);
    if (is_quiet(c.arguments)) {
        EXPECT_TRUE(run.windows.empty()) << ::testing::PrintToString(joined(run.windows));
    }

    if (c.log.empty()) {
        EXPECT_FALSE(testing::file_exists(c.log_file));
    } else {
        std::vector<std::wstring> lines;
        ASSERT_NO_THROW(lines = testing::log_texts(testing::read_file(c.log_file)));
        // A box of several lines is several log lines, word for word.
        std::vector<std::wstring> expected{L"Avvio: "};
        expected.insert(expected.end(), c.log.begin(), c.log.end());
        expected.push_back(L"Codice di uscita: " + std::to_wstring(c.exit_code));
        expect_in_order(lines, expected);
    }

    const bool libraries_placed = testing::file_exists(testing::system_folder_of_program() + L"\\UNZIP32.DLL");
    EXPECT_EQ(libraries_placed, c.touched != Touched::nothing);
    const std::string ledger_after = ledger();
    if (c.touched == Touched::everything) {
        EXPECT_EQ(ledger_after.rfind(ledger_before + "8         ", 0), 0u) << ledger_after;
        EXPECT_FALSE(testing::list_tree(Machine::install_folder + L"\\catalogo").empty());
        EXPECT_FALSE(testing::file_exists(Machine::install_folder + L"\\catalogo\\vecchie\\old.html"));
        EXPECT_FALSE(testing::file_exists(Machine::patch_folder + L"\\catalogo.zip"));
    } else {
        EXPECT_EQ(ledger_after, ledger_before);
        if (testing::folder_exists(Machine::install_folder + L"\\catalogo")) {
            EXPECT_EQ(testing::read_file(Machine::install_folder + L"\\catalogo\\index.html"), "old index");
        }
    }
}

const std::wstring installdir = L"/installdir " + Machine::install_folder;
const std::wstring quiet_logged = L"/quiet /log " + log_path;

const Case cases[] = {
    // The outcomes in quiet mode: no box, no window, the box's text in the log.
    {"QuietSuccess", catalogue_installed, quiet_logged, 0, {},
     {L"Libreria copiata: " + Machine::patch_folder + L"\\zip32.dll", L"Libreria copiata: ",
      L"Catalogo trovato nel menu Start dell'utente corrente: ",
      L"Cartella di installazione dal collegamento: " + Machine::install_folder,
      L"Registro " + Machine::install_folder + L"\\patch.txt: la patch 8 può essere installata",
      L"Catalogo precedente spostato in " + Machine::install_folder + L"\\catalogo - copia prima della patch 8",
      L"Estrazione di " + Machine::patch_folder + L"\\catalogo.zip in " + Machine::install_folder + L": codice 0",
      success},
     log_path, Touched::everything},
    {"QuietRefusalInTheDefaultLog", [](Machine& m) { m.put_patch(); }, L"-QUIET", 1, {}, {no_catalogue},
     default_log(), Touched::libraries_only},
    {"QuietLedgerRefusal",
     [](Machine& m) {
         catalogue_installed(m);
         m.put_ledger(ledger_1_to_7 + "8         01/02/2023\r\n");
     },
     quiet_logged, 1, {}, {L"Hai già installato questa patch in data 01/02/2023"}, log_path, Touched::libraries_only},
    {"QuietRunTimeError",
     [](Machine& m) {
         catalogue_installed(m);
         DeleteFileW((Machine::patch_folder + L"\\zip32.dll").c_str());
     },
     quiet_logged, 2, {}, {L"Errore di run-time '53':", L"File non trovato", Machine::patch_folder + L"\\zip32.dll"}},
    {"QuietFailedExtraction",
     [](Machine& m) {
         catalogue_installed(m);
         m.put_patch(L"damaged.zip");
     },
     quiet_logged, 3, {},
     {L"Aggiornamento del catalogo non riuscito (codice "},
     log_path, Touched::libraries_only},
    {"QuietSecondCopy", catalogue_installed, quiet_logged, 1, {}, {L"L'installazione della patch 8 è già in corso."},
     log_path, Touched::nothing, true},
    // Where the catalogue is found.
    {"CatalogueOnlyInTheAllUsersProgramsFolder",
     [](Machine& m) {
         catalogue_without_shortcut(m);
         m.put_shortcut_for_all_users(Machine::install_folder);
     },
     quiet_logged, 0, {}, {L"Catalogo trovato nel menu Start di tutti gli utenti: ", success}, log_path,
     Touched::everything},
    {"InstallDirWithNoShortcutAnywhere", catalogue_without_shortcut, quiet_logged + L" " + installdir + L"\\", 0, {},
     {L"Cartella di installazione indicata sulla riga di comando: " + Machine::install_folder,
      L"Registro " + Machine::install_folder + L"\\patch.txt: ", success},
     log_path, Touched::everything},
    // The window with a log: the same boxes as ever, and the log beside them.
    {"WindowWithALog", catalogue_installed, L"/log " + log_path, 0, {success}, {success}, log_path,
     Touched::everything},
    // Help touches nothing.
    {"Help", catalogue_installed, L"/?", 0, {L"Uso: fennimark_patch.exe [/quiet]"}, {}},
    {"QuietHelp", catalogue_installed, L"/? /Quiet /LOG " + log_path, 0, {},
     {L"Uso: fennimark_patch.exe [/quiet]", L"/quiet: ", L"/log <file>: ", L"/installdir <cartella>: ", L"/?: ",
      L"Codici di uscita:", L"0: ", L"1: ", L"2: ", L"3: ", L"4: riga di comando non valida"}},
    // Bad command lines touch nothing, not even the system folder.
    {"UnknownSwitch", catalogue_installed, L"/silent", 4,
     {bad_command_line + L"Opzione sconosciuta: \"/silent\".\r\n\r\nUso: "}, {}},
    {"StrayArgument", catalogue_installed, L"C:\\e2e", 4, {bad_command_line + L"Argomento non previsto"}, {}},
    {"RepeatedSwitch", catalogue_installed, installdir + L" -InstallDir " + Machine::install_folder, 4,
     {bad_command_line + L"Opzione ripetuta: \"-InstallDir\"."}, {}},
    {"SwitchWithoutItsValue", catalogue_installed, L"/quiet /log", 4, {},
     {bad_command_line + L"Manca il valore dell'opzione \"/log\".", L"Uso: "}, default_log()},
    {"RelativeInstallDir", catalogue_installed, L"/installdir e2e\\Fennimark", 4,
     {bad_command_line + L"La cartella \"e2e\\Fennimark\" indicata con /installdir"}, {}},
    {"MissingInstallDirInQuietMode", catalogue_installed, quiet_logged + L" /installdir C:\\e2e\\nowhere", 4, {},
     {bad_command_line + L"La cartella \"C:\\e2e\\nowhere\" indicata con /installdir"}},
    {"LogThatCannotBeOpened", catalogue_installed, L"/log C:\\e2e\\nowhere\\deploy.log", 4,
     {bad_command_line + L"Impossibile aprire il file di registro \"C:\\e2e\\nowhere\\deploy.log\""}, {},
     L"C:\\e2e\\nowhere\\deploy.log"},
};

INSTANTIATE_TEST_SUITE_P(Switches, Deployment, ::testing::ValuesIn(cases),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace fennimark::e2e
