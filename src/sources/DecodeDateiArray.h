// The files of one drop: dropped pictures as they are, multi-page scans split into one temporary
// bitmap per page. The temporary bitmaps go when the list goes.
#pragma once

#include "CodewerkExport.h"
#include "outside/CArray.h"
#include "outside/CString.h"
#include "outside/WinTypes.h"

class CODEWERK_EXPORT CDecodeDateiArray {
public:
  CDecodeDateiArray() = default;
  ~CDecodeDateiArray();
  CDecodeDateiArray(const CDecodeDateiArray&) = delete;
  CDecodeDateiArray& operator=(const CDecodeDateiArray&) = delete;

  void AddDatei(const CString& path);

  CArray<BOOL, BOOL> m_arTemp; // per entry: a temporary file of this list
  CStringArray m_arDateien;    // per entry: the full path
};
