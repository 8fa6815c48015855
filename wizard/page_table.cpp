// The wizard's pages: which controls make up each page, and ShowPage,
// which shows one page and hides the others.
#include "resources/resource.h"
#include "wizard/wizard.h"
#include "wizard/wizard_steps.h"

namespace {
constexpr int kMaxPageControls = 16;

// The controls of one page, ended by 0.
struct PageRow {
  int ids[kMaxPageControls];
};

// Row i is page i; a row whose first id is 0 ends the table. The licence
// page lists both licence controls; ShowPage then keeps only the one that
// the "English" check box picks.
const PageRow kPageTable[] = {
    {{IDC_DESKTOP_ICON, IDC_PAGE0_UNUSED, IDC_PATH_EDIT, IDC_PATH_LABEL, IDC_BROWSE, 0}},
    {{IDC_DISPLAY_FRAME, IDC_DISPLAY_QUESTION, IDC_DISPLAY_SAMPLE, IDC_DISPLAY_OK,
      IDC_DISPLAY_NOT_OK, 0}},
    {{IDC_LICENCE_ENGLISH, IDC_LICENCE_LIST, IDC_LICENCE_EDIT, 0}},
    {{IDC_LANGUAGE_LABEL, IDC_LANGUAGE_COMBO, 0}},
    {{0}},
};

void ShowPageControls(HWND dialog, int page) {
  for (int row = 0; kPageTable[row].ids[0] != 0; ++row) {
    for (int id : kPageTable[row].ids) {
      if (id == 0) break;
      HWND control = GetDlgItem(dialog, id);
      if (control != nullptr) ShowWindow(control, row == page ? SW_SHOW : SW_HIDE);
    }
  }
}

void ShowChosenLicence(HWND dialog, int page) {
  ShowWindow(GetDlgItem(dialog, IDC_LICENCE_LIST), SW_HIDE);
  ShowWindow(GetDlgItem(dialog, IDC_LICENCE_EDIT), SW_HIDE);
  if (page != kLicencePage) return;
  bool english = SendDlgItemMessageA(dialog, IDC_LICENCE_ENGLISH, BM_GETCHECK, 0, 0) == BST_CHECKED;
  ShowWindow(GetDlgItem(dialog, english ? IDC_LICENCE_EDIT : IDC_LICENCE_LIST), SW_SHOW);
}

// Back is offered on every page but the first; once the install has begun
// it is left as the install run set it.
void UpdateBackButton(HWND dialog, int page) {
  if (pageIndex < 0 || pageIndex >= kInstallState) return;
  HWND back = GetDlgItem(dialog, IDC_BACK);
  bool offered = page != kPathPage;
  ShowWindow(back, offered ? SW_SHOW : SW_HIDE);
  EnableWindow(back, offered ? TRUE : FALSE);
}
}  // namespace

void ShowPage(HWND dialog, int page) {
  ShowPageControls(dialog, page);
  // Next's name follows its caption, which follows pageIndex.
  SetWindowTextW(GetDlgItem(dialog, IDC_NEXT),
                 OwnerButtonName(IDC_NEXT, WizardButtonContext(pageIndex).nextInstalls));
  // Without their texts the licence page is left as the controls stand;
  // the next visit tries again.
  if (textPagesLoaded == 0 && page == kLicencePage && !LoadLicenceTexts(dialog)) return;
  ShowChosenLicence(dialog, page);
  UpdateBackButton(dialog, page);
  InvalidateRect(dialog, nullptr, TRUE);
  UpdateWindow(dialog);
}
