// Capture module over GStreamer: the default camera, its newest frame as a 24-bit BMP file.
// CODEWERK_WEBCAM_SOURCE replaces the camera with any GStreamer source description, for example
// "filesrc location=code.png ! pngdec ! imagefreeze" or "videotestsrc".
#pragma once

#include "WinTypes.h"

extern "C" {
// Opens the camera, asking for wish (0 x 0: the camera's default; a size it lacks: the nearest
// smaller one); waits for the first frame. Null when there is no camera or it sends nothing
// within a few seconds. The first argument is reserved and must be false.
void* StarteWebCam(bool reserved, SIZE wish);
// Writes the newest frame to fileName as a 24-bit BMP, atomically (a reader sees the old file or
// the new one; "<fileName>.part" is kept as the next frame's spare until DoneWebCam). False when
// the camera has gone, ended, or sent nothing for half a second.
bool SaveWebCamImage(void* webcam, const char* fileName);
// Stops the camera and frees the handle.
void DoneWebCam(void* webcam);
}
