#include "encode/EncoderItemBase.h"

#include "outside/TextServices.h"

CString CEncoderItemBase::GetTestText(int nMillimeter) {
  return GetFormatedString("%d mm\n%s-Bibliothek", nMillimeter, GetNameBibliothek().GetString());
}

CString CEncoderItemBase::GetNameBibliothek() { return CString(); }
int CEncoderItemBase::GetCodeWidth(void*) { return 0; }
int CEncoderItemBase::GetCodeHeight(void*) { return 0; }
bool CEncoderItemBase::IsCodeBitSet(void*, int, int) { return false; }
void CEncoderItemBase::DoneCode(void*) {}
