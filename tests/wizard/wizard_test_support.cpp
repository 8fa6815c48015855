// Test bed of the wizard tests (see wizard_test_support.h).
#include "tests/wizard/wizard_test_support.h"

#include <commctrl.h>

#include "base/bounded_format.h"
#include "install/install.h"
#include "resources/resource.h"
#include "startup/startup.h"
#include "wizard/wizard.h"

namespace {
// The controls of each page, as the user should see them; the licence page
// shows only one of its two texts, so only its check box counts here.
const std::vector<std::vector<int>> kPageControls = {
    {IDC_DESKTOP_ICON, IDC_PATH_EDIT, IDC_PATH_LABEL, IDC_BROWSE},
    {IDC_DISPLAY_FRAME, IDC_DISPLAY_QUESTION, IDC_DISPLAY_SAMPLE, IDC_DISPLAY_OK, IDC_DISPLAY_NOT_OK},
    {IDC_LICENCE_ENGLISH},
    {IDC_LANGUAGE_LABEL, IDC_LANGUAGE_COMBO},
};
}  // namespace

void WizardTest::SetUp() {
  ASSERT_TRUE(EnsureTestGlyphFont());
  appIcon = LoadIconA(appInstance, MAKEINTRESOURCEA(IDI_APP));
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  CopyBounded(productFolderName, sizeof productFolderName, "Tavik");
  forceLanguage = kLanguageEnglish;
  answerMessage = [](const SeenMessage&) { return IDOK; };
  boxes_ = std::make_unique<MessageAnswerer>([this](const SeenMessage& seen) { return answerMessage(seen); });
  RecreateWizard();
}

const std::vector<SeenMessage>& WizardTest::messages() const { return boxes_->messages(); }

void WizardTest::TearDown() {
  if (dialog != nullptr) DestroyWindow(dialog);
  dialog = nullptr;
  mainDialog = nullptr;
  boxes_.reset();
  Pump();
}

void WizardTest::RecreateWizard() {
  if (dialog != nullptr) DestroyWindow(dialog);
  // What start-up and a fresh process give the wizard.
  pageIndex = 0;
  textPagesLoaded = 0;
  chineseDisplayOk = 0;
  desktopIconWanted = 0;
  buttonDefaultProc = nullptr;
  dialog = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_WIZARD), nullptr, WizardDialogProc, 0);
  mainDialog = dialog;
  ASSERT_NE(dialog, nullptr);
  Pump();
}

void WizardTest::Click(int id) { SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0); }

void WizardTest::Command(int id) { SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

bool WizardTest::Shown(int id) const { return IsWindowVisible(GetDlgItem(dialog, id)) != 0; }

bool WizardTest::Enabled(int id) const { return IsWindowEnabled(GetDlgItem(dialog, id)) != 0; }

bool WizardTest::Checked(int id) const { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void WizardTest::GoToPage(int page) {
  if (page >= 1) Click(IDC_NEXT);
  if (page >= 2) {
    Click(IDC_DISPLAY_OK);
    Click(IDC_NEXT);
  }
  if (page >= 3) Click(IDC_NEXT);
  ASSERT_EQ(pageIndex, page);
}

std::vector<int> WizardTest::ShownPages() const {
  std::vector<int> pages;
  for (size_t page = 0; page < kPageControls.size(); ++page) {
    bool all = true;
    for (int id : kPageControls[page]) all = all && Shown(id);
    if (all) pages.push_back(static_cast<int>(page));
  }
  return pages;
}

void WizardTest::Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

std::string PayloadText(int id) {
  std::vector<unsigned char> buffer(1 << 20);  // more than any licence
  unsigned long length = static_cast<unsigned long>(buffer.size());
  if (InflatePayload(id, buffer.data(), &length) != 0) return "<not inflated>";
  return std::string(buffer.begin(), buffer.begin() + length);
}
