// A settings folder of the test program's own, removed at exit.
#pragma once

// Points XDG_CONFIG_HOME at a fresh temporary folder; returns its path (or null on failure).
const char* UseTemporaryConfigFolder();
