#pragma once
// Stands in for the user: records every message box the code under test shows and answers it.

#include "runtime/message_box.h"

#include <deque>
#include <vector>

namespace fennimark::testing {

class BoxRecorder {
public:
    BoxRecorder();
    // Answers to give, in order; once they run out every box is answered with OK.
    void answer_with(std::initializer_list<int> answers) { answers_.assign(answers); }
    const std::vector<runtime::MessageBoxRequest>& boxes() const { return boxes_; }

private:
    std::vector<runtime::MessageBoxRequest> boxes_;
    std::deque<int> answers_;
    runtime::ScopedMessageBoxHandler handler_;
};

}  // namespace fennimark::testing
