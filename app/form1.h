#pragma once
// The program's one window, Form1, with its label Label1, and the window's public operations.

#include "app/taskbar_progress.h"
#include "install/installation.h"
#include "install/patch_ledger.h"
#include "runtime/handles.h"
#include "runtime/text.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace fennimark {

class Form1 {
public:
    Form1();
    ~Form1();
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Creates the window and its label, hidden, with their design values. Raises a run-time error
    // when the system refuses.
    void create(HINSTANCE instance);
    // Shows the window centred on the screen; it then becomes active, which starts its work.
    void show();
    void destroy() noexcept;

    HWND window() const noexcept { return window_; }
    HWND label() const noexcept { return label_; }
    HWND progress_bar() const noexcept { return progress_bar_; }

    // The progress bar under the label, hidden until the first progress, and the same on the
    // taskbar button. `done` of `total` items; the bar is shown when hidden.
    void show_progress(std::uint32_t done, std::uint32_t total) noexcept;
    // The bar at its end, as when every item is done.
    void finish_progress() noexcept;
    // The bar back at its start.
    void reset_progress() noexcept;
    // The bar and the taskbar's progress taken away, as before any box.
    void hide_progress() noexcept;
    // The exit code the program ended with; meaningful once the window is gone.
    int exit_code() const noexcept { return exit_code_; }
    // Whether the window ends the message loop when it is destroyed (the program's own window does).
    void set_quit_on_destroy(bool quit) noexcept { quit_on_destroy_ = quit; }
    // What runs at the first activation: Form_Activate, unless a test puts something else there.
    void set_activation_handler(std::function<void()> handler) { activation_handler_ = std::move(handler); }

    // What the installation is to do, for administrators who name the install folder.
    void set_installation_options(install::InstallationOptions options) { options_ = std::move(options); }

    // The window's operations hand the work to the installation (install/), which tells its
    // outcomes through the current reporter.

    // The installation, from the library files to the outcome. It always ends the program.
    void Form_Activate();

    // Checks the patch ledger `file1` for patch `versione` and records it; ends the program when
    // the patch may not be installed.
    void controlla_file(const std::wstring& file1, std::int16_t versione);

    // Derives the install folder from the shortcut's working-folder field text `Path` and replaces
    // the catalogue in it.
    void correzione_path(const std::wstring& Path);

    // Creates a Start-menu shortcut through whichever setup-toolkit library is present (numero_kit
    // 4, 5 or 6, or 0 to probe for one). True when the library reports success. Nothing in the
    // installation calls it.
    truth crea_collegamento(std::int32_t numero_kit, std::wstring testo1, std::wstring testo2, std::wstring testo3);

    // Clears everything printed on the window.
    void Cls();

private:
    static LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);
    void run_first_activation() noexcept;

    HWND window_ = nullptr;
    HWND label_ = nullptr;
    HWND progress_bar_ = nullptr;
    std::uint32_t progress_total_ = 0;
    std::unique_ptr<TaskbarProgress> taskbar_progress_;
    runtime::GdiObject form_font_;
    runtime::GdiObject label_font_;
    HICON large_icon_ = nullptr;
    HICON small_icon_ = nullptr;
    std::function<void()> activation_handler_;
    install::InstallationOptions options_;
    bool activated_ = false;
    bool busy_ = false;
    bool quit_on_destroy_ = false;
    int exit_code_ = 0;
};

}  // namespace fennimark
