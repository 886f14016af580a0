#pragma once

#include <string>

struct HWND__;

namespace fennimark::e2e {

// The whole screen as an 8-bit RGB PNG file's bytes.
std::string screen_as_png();

// The installer's window and its boxes are all centred on the screen: moves a box down so that
// the window shows above it in a picture, and lets both finish drawing.
void uncover_window_behind(HWND__* box);

}  // namespace fennimark::e2e
