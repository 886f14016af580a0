#pragma once
// The switches an administrator's deployment tool gives the installer. Without any, the program
// works as it always has: its window, its boxes, the catalogue found through the Start menu.

#include <optional>
#include <string>
#include <vector>

namespace fennimark {

struct CommandLine {
    bool quiet = false;  // no window and no box: everything goes to the log
    bool help = false;
    std::optional<std::wstring> log;             // the file to append the log to
    std::optional<std::wstring> install_folder;  // a whole path to an existing folder
    // What is wrong with the command line, in Italian; empty when nothing is.
    std::wstring problem;
};

// Judges the arguments, the program's own name not among them. Switches start with / or - and are
// told apart without regard to case.
CommandLine read_command_line(const std::vector<std::wstring>& arguments);

// The arguments the program was started with, its own name left out.
std::vector<std::wstring> program_arguments();

// The box (or log) texts for /? and for a command line that is wrong.
std::wstring help_text();
std::wstring command_line_error_text(const std::wstring& problem);

}  // namespace fennimark
