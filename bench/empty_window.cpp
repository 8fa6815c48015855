// A baseline of Wine's cost for a window: a program that shows a plain
// window, paints it and runs its message loop until the window is closed.
// Its start-up is held against the wizard's.
#include <windows.h>

namespace {

LRESULT CALLBACK EmptyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

int ShowEmptyWindow() {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = EmptyWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = "TavikBenchEmpty";
  if (RegisterClassA(&windowClass) == 0) return 1;
  HWND window = CreateWindowA("TavikBenchEmpty", "tavik bench empty", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                              0, 0, 480, 360, nullptr, nullptr, windowClass.hInstance, nullptr);
  if (window == nullptr) return 1;
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return ShowEmptyWindow(); }
