#include "decode/DecodeResultArray.h"

#include "decode/DecoderInterface.h"

#include <vector>

namespace {

constexpr int kTextBufferSize = 1000;
constexpr int kLongestText = 64 << 20; // far beyond any code; a back end claiming more is broken
constexpr int kMaxPoints = 4;

// A text the back end writes into a buffer: asked again with the size it said the whole text needs
// when the first buffer was too small.
template <class Get>
CString WholeText(Get get) {
  std::vector<char> buffer(kTextBufferSize, '\0');
  const int needed = get(buffer.data(), kTextBufferSize);
  if (needed >= kTextBufferSize && needed < kLongestText) {
    buffer.assign(static_cast<size_t>(needed) + 1, '\0');
    get(buffer.data(), needed + 1);
  }
  buffer.back() = '\0';
  return CString(buffer.data());
}

} // namespace

CDecodeResultArray::CDecodeResultArray(const CDecodeResultArray& other) : CDTemplateArray(1) { *this = other; }

CDecodeResultArray& CDecodeResultArray::operator=(const CDecodeResultArray& other) {
  if (this == &other) return *this;
  Clear(0);
  for (int i = 0; i < other.GetSize(); ++i) {
    const CSubDlgDecodeResult* result = other.GetAt(i);
    Add(result ? new CSubDlgDecodeResult(*result) : nullptr);
  }
  return *this;
}

void CDecodeResultArray::AddDecodeResult(const CString& text, const CString& symbol, CArray<POINT, POINT>& points) {
  Add(new CSubDlgDecodeResult(text, symbol, points));
}

void CDecodeResultArray::AddDecodeResult(DecoderInterface& decoder, void* handle) {
  if (!handle) return;
  const int count = decoder.GetDecodeResultCount(handle);
  for (int i = 0; i < count; ++i) {
    const CString text = WholeText([&](char* buffer, int size) { return decoder.GetDecodeResultName(handle, i, buffer, size); });
    const CString symbol =
        WholeText([&](char* buffer, int size) { return decoder.GetDecodeResultSymbol(handle, i, buffer, size); });
    CArray<POINT, POINT> points;
    points.SetSize(kMaxPoints);
    points.SetSize(decoder.GetDecodeResultPointArray(handle, i, points.GetData(), kMaxPoints));
    AddDecodeResult(text, symbol, points);
  }
}

CString CDecodeResultArray::GetMessageText(bool bMitSymbol) const {
  CString message;
  for (int i = 0; i < GetSize(); ++i) {
    const CSubDlgDecodeResult* result = GetAt(i);
    if (i > 0) message += "\n";
    if (bMitSymbol) message += result->m_strSymbol + ": ";
    message += result->m_strText;
  }
  return message;
}
