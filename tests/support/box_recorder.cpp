#include "tests/support/box_recorder.h"

namespace fennimark::testing {

BoxRecorder::BoxRecorder()
    : handler_([this](const runtime::MessageBoxRequest& request) {
          boxes_.push_back(request);
          if (answers_.empty())
              return runtime::box_answer::ok;
          const int answer = answers_.front();
          answers_.pop_front();
          return answer;
      })
{
}

}  // namespace fennimark::testing
