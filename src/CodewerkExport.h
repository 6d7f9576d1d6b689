// Marks the classes and functions that libcodewerk offers to host programs.
#pragma once

#define CODEWERK_EXPORT __attribute__((visibility("default")))
