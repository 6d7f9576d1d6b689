// The framework's growable array, over std::vector. An index outside the array throws
// std::invalid_argument, which stands for the framework's invalid-argument exception.
#pragma once

#include "CString.h"

#include <stdexcept>
#include <string>
#include <vector>

[[noreturn]] inline void ThrowInvalidArgument(const char* what) { throw std::invalid_argument(what); }

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray {
public:
  CArray() = default;
  virtual ~CArray() = default;
  CArray(const CArray&) = default;
  CArray& operator=(const CArray&) = default;

  int GetSize() const { return static_cast<int>(m_items.size()); }
  int GetCount() const { return GetSize(); }
  int GetUpperBound() const { return GetSize() - 1; }
  bool IsEmpty() const { return m_items.empty(); }

  void SetSize(int newSize) {
    if (newSize < 0) ThrowInvalidArgument("CArray::SetSize: negative size");
    m_items.resize(static_cast<size_t>(newSize));
  }
  void RemoveAll() { m_items.clear(); }

  const TYPE& GetAt(int index) const { return m_items[Checked(index)]; }
  TYPE& GetAt(int index) { return m_items[Checked(index)]; }
  TYPE& ElementAt(int index) { return m_items[Checked(index)]; }
  const TYPE& operator[](int index) const { return GetAt(index); }
  TYPE& operator[](int index) { return GetAt(index); }
  void SetAt(int index, ARG_TYPE item) { m_items[Checked(index)] = item; }

  int Add(ARG_TYPE item) {
    m_items.push_back(item);
    return GetSize() - 1;
  }
  void Append(const CArray& other) { m_items.insert(m_items.end(), other.m_items.begin(), other.m_items.end()); }
  void Copy(const CArray& other) { if (this != &other) m_items = other.m_items; }
  void InsertAt(int index, ARG_TYPE item, int count = 1) {
    if (index < 0 || index > GetSize() || count < 0) ThrowInvalidArgument("CArray::InsertAt: index outside the array");
    m_items.insert(m_items.begin() + index, static_cast<size_t>(count), item);
  }
  void RemoveAt(int index, int count = 1) {
    if (index < 0 || count < 0 || index + count > GetSize()) ThrowInvalidArgument("CArray::RemoveAt: index outside the array");
    m_items.erase(m_items.begin() + index, m_items.begin() + index + count);
  }

  TYPE* GetData() { return m_items.data(); }
  const TYPE* GetData() const { return m_items.data(); }
  auto begin() { return m_items.begin(); }
  auto end() { return m_items.end(); }
  auto begin() const { return m_items.begin(); }
  auto end() const { return m_items.end(); }

private:
  size_t Checked(int index) const {
    if (index < 0 || index >= GetSize()) ThrowInvalidArgument("CArray: index outside the array");
    return static_cast<size_t>(index);
  }

  std::vector<TYPE> m_items;
};

using CStringArray = CArray<CString, const CString&>;
