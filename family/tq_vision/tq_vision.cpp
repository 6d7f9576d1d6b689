#include "outside/tq_vision.h"

#include "CameraPipeline.h"
#include "FrameFile.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <cstdio>
#include <mutex>
#include <string>
#include <utility>

namespace {

constexpr GstClockTime kFirstFrameWait = 5 * GST_SECOND;
constexpr GstClockTime kNextFrameWait = GST_SECOND / 2; // the caller's user interface waits meanwhile
constexpr GstClockTime kPollStep = 50 * GST_MSECOND;

struct WebCam {
  GstElement* pipeline = nullptr;
  GstAppSink* sink = nullptr;
  GstSample* newest = nullptr;
  bool broken = false;
  std::string spare; // the file the next frame is written into before the swap
};

void Close(WebCam* cam) {
  if (!cam->spare.empty()) std::remove(cam->spare.c_str());
  if (cam->newest) gst_sample_unref(cam->newest);
  if (cam->pipeline) gst_element_set_state(cam->pipeline, GST_STATE_NULL);
  if (cam->sink) gst_object_unref(cam->sink);
  if (cam->pipeline) gst_object_unref(cam->pipeline);
  delete cam;
}

// An error or the end of the stream on the bus: the camera will send nothing more.
bool HasFailed(WebCam* cam) {
  if (cam->broken) return true;
  GstBus* bus = gst_element_get_bus(cam->pipeline);
  GstMessage* message = gst_bus_pop_filtered(bus, static_cast<GstMessageType>(GST_MESSAGE_ERROR | GST_MESSAGE_EOS));
  gst_object_unref(bus);
  if (message) {
    gst_message_unref(message);
    cam->broken = true;
  }
  return cam->broken || gst_app_sink_is_eos(cam->sink);
}

// Waits up to wait for a frame, giving up at once when the stream has failed.
GstSample* PullFrame(WebCam* cam, GstClockTime wait) {
  for (GstClockTime waited = 0;; waited += kPollStep) {
    if (GstSample* sample = gst_app_sink_try_pull_sample(cam->sink, waited == 0 ? 0 : kPollStep)) return sample;
    if (HasFailed(cam) || waited >= wait) return nullptr;
  }
}

WebCam* Open(const std::string& source, SIZE wish) {
  GError* error = nullptr;
  GstElement* pipeline = gst_parse_launch(CameraPipeline(source, wish).c_str(), &error);
  // A pipeline may come back together with an error (an unknown element); it is not usable then.
  if (error) {
    g_error_free(error);
    if (pipeline) gst_object_unref(pipeline);
    return nullptr;
  }
  auto* cam = new WebCam;
  cam->pipeline = pipeline;
  cam->sink = GST_APP_SINK(gst_bin_get_by_name(GST_BIN(pipeline), "sink"));
  if (!cam->sink || gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE ||
      !(cam->newest = PullFrame(cam, kFirstFrameWait))) {
    Close(cam);
    return nullptr;
  }
  return cam;
}

bool WriteSample(GstSample* sample, const char* fileName) {
  GstVideoInfo info;
  GstCaps* caps = gst_sample_get_caps(sample);
  GstBuffer* buffer = gst_sample_get_buffer(sample);
  if (!caps || !buffer || !gst_video_info_from_caps(&info, caps)) return false;
  GstMapInfo map;
  if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) return false;
  const BgrFrame frame{map.data + GST_VIDEO_INFO_PLANE_OFFSET(&info, 0), GST_VIDEO_INFO_WIDTH(&info),
                       GST_VIDEO_INFO_HEIGHT(&info), GST_VIDEO_INFO_PLANE_STRIDE(&info, 0)};
  const bool enough = map.size >= GST_VIDEO_INFO_PLANE_OFFSET(&info, 0) +
                                      static_cast<gsize>(frame.stride) * static_cast<gsize>(frame.height - 1) +
                                      static_cast<gsize>(frame.width) * 3;
  const bool ok = enough && WriteFrameAsBmp(frame, fileName);
  gst_buffer_unmap(buffer, &map);
  return ok;
}

} // namespace

extern "C" {

void* StarteWebCam(bool, SIZE wish) {
  static std::once_flag initialised;
  std::call_once(initialised, [] { gst_init(nullptr, nullptr); });
  for (const std::string& source : CameraSources())
    if (WebCam* cam = Open(source, wish)) return cam;
  return nullptr;
}

bool SaveWebCamImage(void* webcam, const char* fileName) {
  auto* cam = static_cast<WebCam*>(webcam);
  if (!cam || !fileName) return false;
  // The frame that proved the camera works serves a first save when nothing newer has come.
  GstSample* sample = gst_app_sink_try_pull_sample(cam->sink, 0);
  if (!sample) sample = cam->newest ? std::exchange(cam->newest, nullptr) : PullFrame(cam, kNextFrameWait);
  if (cam->newest) gst_sample_unref(std::exchange(cam->newest, nullptr));
  if (!sample) return false;
  if (cam->spare != SpareFileName(fileName)) {
    if (!cam->spare.empty()) std::remove(cam->spare.c_str());
    cam->spare = SpareFileName(fileName);
  }
  const bool ok = WriteSample(sample, fileName);
  gst_sample_unref(sample);
  return ok;
}

void DoneWebCam(void* webcam) {
  if (webcam) Close(static_cast<WebCam*>(webcam));
}

} // extern "C"
