// Pictures of what the screen and the clipboard show, for reading the codes on them.
#pragma once

#include "CodewerkExport.h"
#include "outside/CArray.h"
#include "outside/CString.h"

#include <vector>

class wxWindow;

struct ScreenPictures {
  enum Outcome { Taken, Cancelled, Failed };
  Outcome outcome = Failed;
  CStringArray files;         // the pictures, in order
  std::vector<bool> ours;     // per file: ours in the private temporary folder, to remove when read
  CString message;            // why there are none (German), for Failed
};

// Every monitor at once, through the desktop portal's Screenshot interface where one answers (it
// works on Wayland and in sandboxes), else from the X server. The top-level window of own is
// hidden while the shot is taken, so our own codes are not read. A file the portal left in a
// temporary place is removed once copied.
CODEWERK_EXPORT ScreenPictures TakeScreenPicture(wxWindow* own);

// A picture on the clipboard, else the picture files copied in a file manager (text/uri-list).
CODEWERK_EXPORT ScreenPictures ClipboardPictures();
