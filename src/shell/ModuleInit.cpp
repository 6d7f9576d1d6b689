// What happens when a host loads the library: the dialog templates become known to the framework
// and the module-wide names exist.
#include "outside/Resources.h"
#include "outside/Trace.h"
#include "outside/WindowMessages.h"
#include "shell/ModuleNames.h"

void CodewerkInitXmlResource(); // made from res/*.xrc by wxrc

namespace {

constexpr int kProcessAttach = 1;
constexpr int kProcessDetach = 0;

struct ModuleEntry {
  ModuleEntry() {
    if (DoTraceProgrammStart(kProcessAttach)) TRACECurrentTime("Codewerk dll DllMain Start");
    AddResourceLoader(&CodewerkInitXmlResource);
  }
  ~ModuleEntry() {
    if (DoTraceProgrammStart(kProcessDetach)) TRACECurrentTime("Codewerk dll DllMain Ende");
  }
};

const ModuleEntry g_moduleEntry;

} // namespace

const CString g_strSettingsGroup = "QRCode";
const CString g_strSettingsLastDecodePage = "LastDecodePage";

UINT GetActivateDecodeMessage() {
  static const UINT message = RegisterWindowMessageA("TQ ATCIVATE Decode");
  return message;
}
