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
    // The wish first (a camera takes the first choice it can as its preference), then anything
    // up to it, so a camera without that size picks the one closest below.
    const std::string w = std::to_string(wish.cx), h = std::to_string(wish.cy);
    const std::string exact = ",width=" + w + ",height=" + h;
    const std::string below = ",width=[1," + w + "],height=[1," + h + "]";
    pipeline += " ! capsfilter caps=\"video/x-raw" + exact + ";image/jpeg" + exact + ";video/x-raw" + below +
                ";image/jpeg" + below + "\"";
  }
  return pipeline + " ! decodebin ! videoconvert ! video/x-raw,format=BGR"
                    " ! appsink name=sink sync=true drop=true max-buffers=1 enable-last-sample=false";
}
