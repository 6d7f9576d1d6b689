// The GStreamer pipeline texts a camera is opened with.
#pragma once

#include "outside/WinTypes.h"

#include <string>
#include <vector>

// The sources to try in order: the one CODEWERK_WEBCAM_SOURCE names, or the desktop's cameras
// (a V4L2 device, then the PipeWire camera when that plug-in is installed). Never autovideosrc:
// without a camera it quietly shows a test pattern.
std::vector<std::string> CameraSources();

// source ! [wished size or smaller] ! decode ! BGR ! appsink "sink" keeping only the newest frame.
std::string CameraPipeline(const std::string& source, SIZE wish);
