#include "decode/DecodeResultArray.h"

#include "decode/DecoderInterface.h"

namespace {

constexpr int kTextBufferSize = 1000;
constexpr int kMaxPoints = 4;

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
    char text[kTextBufferSize] = "";
    char symbol[kTextBufferSize] = "";
    decoder.GetDecodeResultName(handle, i, text, kTextBufferSize);
    decoder.GetDecodeResultSymbol(handle, i, symbol, kTextBufferSize);
    CArray<POINT, POINT> points;
    points.SetSize(kMaxPoints);
    points.SetSize(decoder.GetDecodeResultPointArray(handle, i, points.GetData(), kMaxPoints));
    AddDecodeResult(CString(text), CString(symbol), points);
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
