// CDecodeResultArray::ShowTasksPane belongs with the dialog it opens.
#include "decode/DecodeResultArray.h"
#include "results/DecodeResultTasksDialog.h"

void CDecodeResultArray::ShowTasksPane() const {
  CDecodeResultTasksDialog dialog(*this, nullptr);
  dialog.DoModal();
}
