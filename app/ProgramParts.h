// What the two programs share: the usage text and taking the temporary files along when ended.
#pragma once

extern const char* const kProgramUsage;

// Ended from outside, the program removes its temporary folder, then ends as the signal asks.
// The library leaves signals to its host; the program is the host.
void RemoveTempFilesOnEndingSignals();
