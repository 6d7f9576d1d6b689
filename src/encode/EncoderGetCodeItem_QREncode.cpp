#include "encode/EncoderGetCodeItem_QREncode.h"

#include "outside/tq_qrencode.h"

CString CEncoderGetCodeItem_QREncode::GetNameBibliothek() { return "QREncode"; }

void* CEncoderGetCodeItem_QREncode::GetCodeItem(const CString& text) { return QREncode_GetCode(text, m_nLevel); }

int CEncoderGetCodeItem_QREncode::GetCodeWidth(void* code) { return QREncode_GetCodeWidth(code); }

int CEncoderGetCodeItem_QREncode::GetCodeHeight(void* code) { return QREncode_GetCodeHeight(code); }

bool CEncoderGetCodeItem_QREncode::IsCodeBitSet(void* code, int row, int column) {
  return QREncode_IsCodeBitSet(code, row, column) != 0;
}

void CEncoderGetCodeItem_QREncode::DoneCode(void* code) { QREncode_DoneCode(code); }
