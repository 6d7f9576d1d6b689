// A stand-in for the desktop portal's Screenshot interface on a private session bus: it answers
// each request with a copy of the picture it was given, written into $TMPDIR as a portal does, or
// with "cancelled" (response 1) when started with --cancel, or with a failure (2) with --fail.
// Prints "ready" once it owns its name.
#include <gio/gio.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace {

const char* const kInterface = R"(<node>
  <interface name="org.freedesktop.portal.Screenshot">
    <method name="Screenshot">
      <arg type="s" name="parent_window" direction="in"/>
      <arg type="a{sv}" name="options" direction="in"/>
      <arg type="o" name="handle" direction="out"/>
    </method>
  </interface>
</node>)";

std::string g_picture;
guint32 g_response = 0;
int g_count = 0;

// Where a client waits for the answer: the request path its name and token make.
std::string RequestPath(std::string sender, const std::string& token) {
  for (char& c : sender)
    if (c == '.') c = '_';
  return "/org/freedesktop/portal/desktop/request/" + sender.substr(1) + "/" + token;
}

void Answer(GDBusConnection* bus, const gchar* sender, const std::string& request) {
  GVariantBuilder results;
  g_variant_builder_init(&results, G_VARIANT_TYPE_VARDICT);
  if (g_response == 0) {
    const char* tmp = g_getenv("TMPDIR");
    const std::string copy = std::string(tmp ? tmp : "/tmp") + "/stand-in-portal-" + std::to_string(++g_count) + ".png";
    std::ofstream(copy, std::ios::binary) << std::ifstream(g_picture, std::ios::binary).rdbuf();
    gchar* uri = g_filename_to_uri(copy.c_str(), nullptr, nullptr);
    g_variant_builder_add(&results, "{sv}", "uri", g_variant_new_string(uri));
    g_free(uri);
  }
  g_dbus_connection_emit_signal(bus, sender, request.c_str(), "org.freedesktop.portal.Request", "Response",
                                g_variant_new("(ua{sv})", g_response, &results), nullptr);
}

void OnCall(GDBusConnection* bus, const gchar* sender, const gchar*, const gchar*, const gchar*, GVariant* parameters,
            GDBusMethodInvocation* invocation, gpointer) {
  GVariant* options = g_variant_get_child_value(parameters, 1);
  const gchar* token = "t";
  g_variant_lookup(options, "handle_token", "&s", &token);
  const std::string request = RequestPath(sender, token);
  g_variant_unref(options);
  g_dbus_method_invocation_return_value(invocation, g_variant_new("(o)", request.c_str()));
  Answer(bus, sender, request);
}

void OnBus(GDBusConnection* bus, const gchar*, gpointer) {
  static const GDBusInterfaceVTable vtable = {OnCall, nullptr, nullptr, {}};
  GDBusNodeInfo* info = g_dbus_node_info_new_for_xml(kInterface, nullptr);
  g_dbus_connection_register_object(bus, "/org/freedesktop/portal/desktop", info->interfaces[0], &vtable, nullptr, nullptr, nullptr);
  g_dbus_node_info_unref(info);
}

void OnName(GDBusConnection*, const gchar*, gpointer) {
  std::puts("ready");
  std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  g_picture = argv[1];
  if (argc > 2) g_response = std::strcmp(argv[2], "--cancel") == 0 ? 1 : 2;
  g_bus_own_name(G_BUS_TYPE_SESSION, "org.freedesktop.portal.Desktop", G_BUS_NAME_OWNER_FLAGS_NONE, OnBus, OnName,
                 nullptr, nullptr, nullptr);
  g_main_loop_run(g_main_loop_new(nullptr, FALSE));
  return 0;
}
