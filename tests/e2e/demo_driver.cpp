// The Windows side of the demonstration: makes the catalogue's shortcut as its installer would,
// and runs the patch installer while writing down every box it shows.
//   demo_driver.exe shortcut WORKING_FOLDER   (Fennimark\Fennimark.lnk in the user's Programs)
//   demo_driver.exe run PROGRAM REPORT [--answer] [--screenshot PNG]
// With --answer each box is answered with its first button; without it the person at the screen
// answers. The report (UTF-8) lists the boxes in order, then the exit code.

#include "runtime/com.h"
#include "tests/e2e/screen_capture.h"
#include "tests/support/box_watcher.h"
#include "tests/support/files.h"
#include "tests/support/process.h"
#include "tests/support/shortcuts.h"
#include "tests/support/system_folders.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

using namespace fennimark;

std::string utf8(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                        nullptr);
    return bytes;
}

std::string describe(const testing::SeenBox& box)
{
    std::wstring buttons;
    for (const auto& button : box.buttons)
        buttons += (buttons.empty() ? L"" : L", ") + button;
    std::wstring text = box.text;
    for (std::size_t at; (at = text.find(L"\r\n")) != std::wstring::npos;)
        text.replace(at, 2, L" / ");
    return utf8(L"box \"" + box.title + L"\": \"" + text + L"\" (icon: " + testing::to_string(box.icon) +
                L"; buttons: " + buttons + L")");
}

int make_shortcut(const std::wstring& working_folder)
{
    const std::wstring folder = testing::programs_folder() + L"\\Fennimark";
    testing::make_folder(folder);
    const std::wstring link = folder + L"\\Fennimark.lnk";
    testing::ShortcutFields fields;
    fields.target = working_folder + L"\\catalogo\\index.html";
    fields.working_folder = working_folder;
    testing::make_shortcut(link, fields);
    return 0;
}

int run(const std::wstring& program, const std::wstring& report_path, bool answer, const std::wstring& screenshot)
{
    const testing::Process installer(program, testing::folder_of(program));

    std::string report;
    // Without answering, a box may stay up as long as the person likes.
    const unsigned patience = answer ? 120000 : 24 * 3600 * 1000;
    while (auto box = testing::wait_for_box_of(installer.handle(), installer.id(), patience)) {
        if (!screenshot.empty() && report.empty()) {
            e2e::uncover_window_behind(box->window);
            testing::write_file(screenshot, e2e::screen_as_png());
        }
        report += describe(*box) + "\n";
        if (answer)
            testing::press(*box, box->buttons.size() == 3 ? IDYES : IDOK);
        else
            while (IsWindow(box->window) && !installer.wait(100)) {
            }
    }
    const DWORD exit_code = installer.wait(INFINITE).value_or(0);
    report += "exit code: " + std::to_string(exit_code) + "\n";
    testing::write_file(report_path, report);
    return static_cast<int>(exit_code);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    runtime::ComApartment apartment;
    const std::wstring verb = argc > 1 ? argv[1] : L"";
    try {
        if (verb == L"shortcut" && argc == 3)
            return make_shortcut(argv[2]);
        if (verb == L"run" && argc >= 4) {
            bool answer = false;
            std::wstring screenshot;
            for (int i = 4; i < argc; ++i) {
                if (std::wstring(argv[i]) == L"--answer")
                    answer = true;
                else if (std::wstring(argv[i]) == L"--screenshot" && i + 1 < argc)
                    screenshot = argv[++i];
            }
            return run(argv[2], argv[3], answer, screenshot);
        }
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "demo_driver: %s\n", failure.what());
        return 91;
    }
    std::fputs("usage: demo_driver shortcut FOLDER | run PROGRAM REPORT [--answer] [--screenshot PNG]\n", stderr);
    return 92;
}
