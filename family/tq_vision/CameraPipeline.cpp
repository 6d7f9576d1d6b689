#include "CameraPipeline.h"

#include <gst/gst.h>

#include <cstdlib>

namespace {

bool HasElement(const char* name) {
  GstElementFactory* factory = gst_element_factory_find(name);
  if (!factory) return false;
  gst_object_unref(factory);
  return true;
}

} // namespace

std::vector<std::string> CameraSources() {
  if (const char* source = std::getenv("CODEWERK_WEBCAM_SOURCE"); source && *source) return {source};
  std::vector<std::string> sources;
  if (HasElement("v4l2src")) sources.emplace_back("v4l2src");
  if (HasElement("pipewiresrc")) sources.emplace_back("pipewiresrc");
  return sources;
}

std::string CameraPipeline(const std::string& source, SIZE wish) {
  std::string pipeline = source;
  if (wish.cx > 0 && wish.cy > 0) {
    // A range up to the wish: the camera picks its best size within it, the wish itself if it has it.
    const std::string range = ",width=[1," + std::to_string(wish.cx) + "],height=[1," + std::to_string(wish.cy) + "]";
    pipeline += " ! capsfilter caps=\"video/x-raw" + range + ";image/jpeg" + range + "\"";
  }
  return pipeline + " ! decodebin ! videoconvert ! video/x-raw,format=BGR"
                    " ! appsink name=sink sync=true drop=true max-buffers=1 enable-last-sample=false";
}
