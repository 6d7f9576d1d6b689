// Start-up probe: a minimal wxWidgets program showing an empty dialog of the main dialog's size.
#include "StartupProbe.h"

int main(int argc, char** argv) {
  return ShowAndExit(argc, argv, [] {
    return new wxDialog(nullptr, wxID_ANY, "TQ QR Code", wxDefaultPosition, wxSize(590, 530));
  });
}
