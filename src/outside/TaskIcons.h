// Icons of the common task icon list, by index; what the result entries show beside their text.
#pragma once

enum T_TaskIcon : int {
  TaskIcon_None = -1,
  TaskIcon_Telefon = 0,
  TaskIcon_EMail = 1,
  TaskIcon_Internet = 2,
  TaskIcon_Fax = 3,
  TaskIcon_Mobil = 5,
};
