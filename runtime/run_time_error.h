#pragma once
// Run-time errors: what the installer raises when a step it does not handle itself fails. Each
// carries a number and an Italian description, as a user of the old program would recognise them,
// and names the file or object concerned where there is one.

#include <exception>
#include <string>

namespace fennimark::runtime {

namespace error {
inline constexpr int invalid_call = 5;          // invalid procedure call or argument
inline constexpr int overflow = 6;              // a number that does not fit
inline constexpr int type_mismatch = 13;        // text that is not a number
inline constexpr int library_load = 48;         // a library file that exists but cannot be loaded
inline constexpr int file_not_found = 53;       // a file that does not exist
inline constexpr int permission_denied = 70;    // access refused
inline constexpr int path_file_access = 75;     // any other failure to reach a path or file
inline constexpr int path_not_found = 76;       // a folder that cannot be reached, or named
inline constexpr int cannot_create_object = 429;
inline constexpr int entry_not_found = 453;     // an entry missing from a library
}  // namespace error

// The Italian description of a run-time error number.
std::wstring standard_description(int number);

class RunTimeError : public std::exception {
public:
    explicit RunTimeError(int number, std::wstring subject = {});
    RunTimeError(int number, std::wstring description, std::wstring subject);

    int number() const noexcept { return number_; }
    const std::wstring& description() const noexcept { return description_; }
    // The file, folder, library or object concerned; empty when there is none.
    const std::wstring& subject() const noexcept { return subject_; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    int number_;
    std::wstring description_;
    std::wstring subject_;
    std::string what_;
};

[[noreturn]] void raise(int number, std::wstring subject = {});

// The run-time error that a failed Win32 file or library call stands for.
int error_number_for_win32(unsigned long win32_code) noexcept;
[[noreturn]] void raise_win32(unsigned long win32_code, std::wstring subject);

}  // namespace fennimark::runtime
