// The board commands behind the main dialog's buttons.
#include "app/Globals.h"
#include "link/Communication.h"
#include "ui/OrvantaAppDlg.h"

void COrvantaAppDlg::ReadFromBoard() {
  if (bTestInit == 1) {
    Pin_Test();
    return;
  }
}
