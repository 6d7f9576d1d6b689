#include "outside/ScreenPictures.h"

#include "outside/TempFiles.h"

#include <gio/gio.h>
#include <gtk/gtk.h>
#include <wx/app.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/display.h>
#include <wx/image.h>
#include <wx/toplevel.h>
#include <wx/utils.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <fstream>
#include <string>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kPortal = "org.freedesktop.portal.Desktop";
constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
constexpr int kPortalWaitSeconds = 120; // the portal may ask the user first

CString NewTempPicture(const char* extension) {
  char folder[MAX_PATH], name[MAX_PATH];
  if (!GetTempPathA(MAX_PATH, folder) || !GetTempFileNameA(folder, "TQScreen", 0, name, extension)) return CString();
  return CString(name);
}

// Hidden while the shot is taken; the windows beneath get the time to paint themselves. GTK
// hides it, not wx: wx ends a modal dialog that is hidden.
class HiddenWhileShooting {
public:
  explicit HiddenWhileShooting(wxWindow* own) : m_top(own ? wxGetTopLevelParent(own) : nullptr) {
    if (!m_top || !m_top->IsShown() || !m_top->GetHandle()) {
      m_top = nullptr;
      return;
    }
    gtk_widget_hide(m_top->GetHandle());
    Settle();
  }
  ~HiddenWhileShooting() {
    if (m_top) gtk_widget_show(m_top->GetHandle());
  }

private:
  // GTK's own loop, not wxYield: the button's handler may run inside a yield already, where
  // another one would do nothing and the window would still be on the screen.
  static void Settle() {
    GdkDisplay* display = gdk_display_get_default();
    for (int i = 0; i < 15; ++i) {
      if (display) gdk_display_sync(display);
      while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
      wxMilliSleep(20);
    }
  }
  wxWindow* m_top;
};

// --- the desktop portal -------------------------------------------------------------------

struct PortalAnswer {
  bool answered = false;
  guint32 response = 2;
  std::string uri;
};

void OnResponse(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant* parameters, gpointer data) {
  auto* answer = static_cast<PortalAnswer*>(data);
  GVariant* results = nullptr;
  g_variant_get(parameters, "(u@a{sv})", &answer->response, &results);
  const gchar* uri = nullptr;
  if (results && g_variant_lookup(results, "uri", "&s", &uri) && uri) answer->uri = uri;
  if (results) g_variant_unref(results);
  answer->answered = true;
}

bool PortalAnswers(GDBusConnection* bus) {
  GVariant* reply = g_dbus_connection_call_sync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                                "NameHasOwner", g_variant_new("(s)", kPortal), G_VARIANT_TYPE("(b)"),
                                                G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
  gboolean owned = FALSE;
  if (reply) {
    g_variant_get(reply, "(b)", &owned);
    g_variant_unref(reply);
  }
  return owned;
}

// The file the portal made for us, resolved, when it lies in a temporary place (not among the
// user's pictures, which stay); empty otherwise.
std::string InTemporaryPlace(const std::string& given) {
  char resolved[PATH_MAX];
  struct stat st;
  if (!realpath(given.c_str(), resolved) || lstat(resolved, &st) != 0 || !S_ISREG(st.st_mode)) return {};
  const std::string path = resolved;
  std::vector<std::string> places = {"/tmp/", "/var/tmp/"};
  for (const char* variable : {"TMPDIR", "XDG_RUNTIME_DIR"})
    if (const char* value = std::getenv(variable); value && *value) places.push_back(std::string(value) + "/");
  for (const std::string& place : places)
    if (path.compare(0, place.size(), place) == 0) return path;
  return {};
}

bool CopyFile(const std::string& from, const CString& to) {
  std::ifstream in(from, std::ios::binary);
  std::ofstream out(to.GetString(), std::ios::binary | std::ios::trunc);
  out << in.rdbuf();
  return in && out.good();
}

// Nothing when no portal answers on the session bus.
// Only a bus that is there: GIO would otherwise start one of its own (dbus-launch) and leave it.
bool SessionBusExists() {
  if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address) return true;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  return runtime && *runtime && access((std::string(runtime) + "/bus").c_str(), F_OK) == 0;
}

std::optional<ScreenPictures> ShotThroughPortal() {
  if (!SessionBusExists()) return std::nullopt;
  GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  if (!bus) return std::nullopt;
  if (!PortalAnswers(bus)) {
    g_object_unref(bus);
    return std::nullopt;
  }
  static int counter = 0;
  const std::string token = "codewerk" + std::to_string(getpid()) + "_" + std::to_string(++counter);
  std::string sender = g_dbus_connection_get_unique_name(bus) + 1; // without the leading ':'
  for (char& c : sender)
    if (c == '.') c = '_';
  const std::string request = std::string(kPortalPath) + "/request/" + sender + "/" + token;
  PortalAnswer answer;
  // The answer is awaited on a context of our own: nothing else of the program runs meanwhile.
  GMainContext* own = g_main_context_new();
  g_main_context_push_thread_default(own);
  const guint subscription = g_dbus_connection_signal_subscribe(bus, kPortal, "org.freedesktop.portal.Request", "Response",
                                                                request.c_str(), nullptr, G_DBUS_SIGNAL_FLAGS_NO_MATCH_RULE,
                                                                OnResponse, &answer, nullptr);
  GVariantBuilder options;
  g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
  g_variant_builder_add(&options, "{sv}", "handle_token", g_variant_new_string(token.c_str()));
  g_variant_builder_add(&options, "{sv}", "interactive", g_variant_new_boolean(FALSE));
  GError* error = nullptr;
  GVariant* reply = g_dbus_connection_call_sync(bus, kPortal, kPortalPath, "org.freedesktop.portal.Screenshot", "Screenshot",
                                                g_variant_new("(sa{sv})", "", &options), G_VARIANT_TYPE("(o)"),
                                                G_DBUS_CALL_FLAGS_NONE, 10000, nullptr, &error);
  ScreenPictures shot;
  if (!reply) {
    shot.message = CString("Das Bildschirmfoto ist nicht möglich: ") + (error ? error->message : "keine Antwort") + ".";
    if (error) g_error_free(error);
  } else {
    g_variant_unref(reply);
    const gint64 until = g_get_monotonic_time() + kPortalWaitSeconds * G_TIME_SPAN_SECOND;
    while (!answer.answered && g_get_monotonic_time() < until)
      if (!g_main_context_iteration(own, FALSE)) g_usleep(5000);
    if (!answer.answered) shot.message = "Der Dienst für Bildschirmfotos hat nicht geantwortet.";
    else if (answer.response == 1) shot.outcome = ScreenPictures::Cancelled;
    else if (answer.response != 0 || answer.uri.empty()) shot.message = "Das Bildschirmfoto ist fehlgeschlagen.";
  }
  g_dbus_connection_signal_unsubscribe(bus, subscription);
  while (g_main_context_iteration(own, FALSE)) {
  }
  g_main_context_pop_thread_default(own);
  g_main_context_unref(own);
  g_object_unref(bus);
  if (shot.outcome == ScreenPictures::Cancelled || !shot.message.IsEmpty()) return shot;

  gchar* path = g_filename_from_uri(answer.uri.c_str(), nullptr, nullptr);
  const std::string from = path ? path : "";
  g_free(path);
  const std::string name = from.substr(from.rfind('/') + 1);
  const CString file = NewTempPicture(name.rfind('.') == std::string::npos ? ".png" : name.substr(name.rfind('.')).c_str());
  if (from.empty() || file.IsEmpty() || !CopyFile(from, file)) {
    if (!file.IsEmpty()) std::remove(file.GetString());
    shot.message = "Das Bildschirmfoto des Dienstes kann nicht gelesen werden.";
    return shot;
  }
  if (const std::string temporary = InTemporaryPlace(from); !temporary.empty()) std::remove(temporary.c_str());
  shot.outcome = ScreenPictures::Taken;
  shot.files.Add(file);
  shot.ours.push_back(true);
  return shot;
}

// --- the X server ---------------------------------------------------------------------------

ScreenPictures ShotFromX() {
  ScreenPictures shot;
  wxRect screen;
  for (unsigned i = 0; i < wxDisplay::GetCount(); ++i) screen.Union(wxDisplay(i).GetGeometry());
  if (screen.IsEmpty() || (std::getenv("WAYLAND_DISPLAY") && !std::getenv("DISPLAY"))) {
    shot.message = "Der Bildschirm kann nicht gelesen werden: Es antwortet kein Dienst für Bildschirmfotos "
                   "(xdg-desktop-portal).";
    return shot;
  }
  // The root window as the X server has it now, every monitor in one picture.
  GdkPixbuf* picture = gdk_pixbuf_get_from_window(gdk_get_default_root_window(), screen.x, screen.y, screen.width, screen.height);
  const CString file = NewTempPicture(".png");
  const bool saved = picture && !file.IsEmpty() && gdk_pixbuf_save(picture, file.GetString(), "png", nullptr, nullptr);
  if (picture) g_object_unref(picture);
  if (!saved) {
    if (!file.IsEmpty()) std::remove(file.GetString());
    shot.message = "Das Bildschirmfoto kann nicht gespeichert werden.";
    return shot;
  }
  shot.outcome = ScreenPictures::Taken;
  shot.files.Add(file);
  shot.ours.push_back(true);
  return shot;
}

} // namespace

ScreenPictures TakeScreenPicture(wxWindow* own) {
  HiddenWhileShooting hidden(own);
  std::optional<ScreenPictures> shot = ShotThroughPortal();
  // A portal without a working screenshot back end (some desktops) leaves it to the X server.
  if (shot && shot->outcome == ScreenPictures::Failed && std::getenv("DISPLAY")) shot.reset();
  return shot ? *shot : ShotFromX();
}

ScreenPictures ClipboardPictures() {
  ScreenPictures got;
  wxClipboardLocker open;
  if (!open) {
    got.message = "Die Zwischenablage kann nicht geöffnet werden.";
    return got;
  }
  if (wxTheClipboard->IsSupported(wxDF_BITMAP)) {
    wxBitmapDataObject data;
    const CString file = NewTempPicture(".bmp");
    if (!file.IsEmpty() && wxTheClipboard->GetData(data) && data.GetBitmap().IsOk() &&
        data.GetBitmap().ConvertToImage().SaveFile(wxString::FromUTF8(file.GetString()), wxBITMAP_TYPE_BMP)) {
      got.outcome = ScreenPictures::Taken;
      got.files.Add(file);
      got.ours.push_back(true);
      return got;
    }
    if (!file.IsEmpty()) std::remove(file.GetString());
  }
  if (wxTheClipboard->IsSupported(wxDF_FILENAME)) {
    wxFileDataObject data;
    if (wxTheClipboard->GetData(data))
      for (const wxString& name : data.GetFilenames()) {
        got.files.Add(CString(name.utf8_str().data()));
        got.ours.push_back(false);
      }
  }
  if (got.files.IsEmpty()) got.message = "In der Zwischenablage ist weder ein Bild noch eine Bilddatei.";
  else got.outcome = ScreenPictures::Taken;
  return got;
}
