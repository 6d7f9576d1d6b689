#include "outside/ScanPict.h"

#include <strings.h>

const char* const ExtensionTQScan = "tif";

CString GetExtensionOhnePunkt(const CString& path) {
  const int dot = path.ReverseFind('.');
  return dot > path.ReverseFind('/') ? path.Mid(dot + 1) : CString();
}

bool IsTQScanExtension(const CString& extension) {
  // "tiff" is the same format under its long name.
  return strcasecmp(extension, ExtensionTQScan) == 0 || strcasecmp(extension, "tiff") == 0;
}
