#pragma once
// Everything the installation has to tell a person goes through the current reporter: the window
// turns it into message boxes, quiet mode into log lines. Until a program puts its own in place,
// the reporter shows boxes and keeps no log.

#include "runtime/message_box.h"

#include <cstdint>
#include <string>

namespace fennimark::runtime {

class Reporter {
public:
    virtual ~Reporter() = default;

    // What a box says: a refusal, the outcome, an error report or a question. Returns the button
    // that answers it, or the answer given when nobody can be asked.
    virtual int tell(const MessageBoxRequest& message) = 0;
    // A step of the work, worth a line in a log but no box.
    virtual void note(const std::wstring& step) = 0;
    // Clears what has been printed on the window, where there is one.
    virtual void clear_printed_output() = 0;

    // A long step's progress, where there is a window to show it (nothing elsewhere). `done` of
    // `total` items are under way; the window also lets its pending events run, so that it keeps
    // repainting and answering the system. Callers call it now and then, not for every item.
    virtual void progress(std::uint32_t /*done*/, std::uint32_t /*total*/) {}
    // The long step has ended: the progress shows its end until the next box, which hides it.
    virtual void progress_finished() {}
    // The work is being undone: the progress starts again from nothing.
    virtual void progress_reset() {}
    // Lets the window's pending events run between the steps of a long job.
    virtual void keep_alive() {}
};

// Boxes only: no log, nothing printed.
class BoxReporter : public Reporter {
public:
    int tell(const MessageBoxRequest& message) override;
    void note(const std::wstring&) override {}
    void clear_printed_output() override {}
};

Reporter& reporter();

// Puts `reporter` in place for as long as the object lives.
class ScopedReporter {
public:
    explicit ScopedReporter(Reporter& reporter) noexcept;
    ~ScopedReporter();
    ScopedReporter(const ScopedReporter&) = delete;
    ScopedReporter& operator=(const ScopedReporter&) = delete;

private:
    Reporter* previous_;
};

// The current reporter's tell and note.
int tell(const std::wstring& text, unsigned style, const std::wstring& title);
void note(const std::wstring& step);

}  // namespace fennimark::runtime
