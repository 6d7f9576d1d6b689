// The owning pointer array used for every list of heap objects.
#pragma once

#include "outside/CArray.h"

#include <algorithm>
#include <functional>

template <class T>
class CDTemplateArray : public CArray<T*, T*> {
public:
  explicit CDTemplateArray(int bOwnsItems = 1) : m_bOwnsItems(bOwnsItems) {}
  ~CDTemplateArray() override { Clear(0); }
  // Copying pointers would make two owners; lists that copy define what a copy means.
  CDTemplateArray(const CDTemplateArray&) = delete;
  CDTemplateArray& operator=(const CDTemplateArray&) = delete;

  // Deletes (when owning) the elements from nFrom on and shortens the array to nFrom.
  void Clear(int nFrom) {
    if (nFrom < 0 || nFrom > this->GetSize()) return;
    if (m_bOwnsItems)
      for (int i = nFrom; i < this->GetSize(); ++i) delete this->GetAt(i);
    this->SetSize(nFrom);
  }

  void AddIfNotExist(T* item) {
    if (GetIndex(item) < 0) this->Add(item);
  }

  int GetIndex(const void* item) const {
    for (int i = 0; i < this->GetSize(); ++i)
      if (this->GetAt(i) == item) return i;
    return -1;
  }

  void ArrayUmkehren() { std::reverse(this->GetData(), this->GetData() + this->GetSize()); }

  // Visits every non-null element; elements that f appends are visited too.
  void ForEach(const std::function<void(T*)>& f) const {
    for (int i = 0; i < this->GetSize(); ++i)
      if (T* item = this->GetAt(i)) f(item);
  }

  int m_bOwnsItems;
};
