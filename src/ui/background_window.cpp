// The full-screen background window: a blue gradient with the application's
// name and publisher. Its window procedure drives the installation: the
// start command runs the install sequence, the clean-up timer ends it.
#include <windows.h>

#include "install/install.h"
#include "startup/state.h"
#include "ui/ui.h"

namespace {

constexpr char kClassName[] = "Install";
constexpr WPARAM kStartCommand = 100;
constexpr UINT_PTR kCleanupTimer = 1;
constexpr UINT kCleanupDelayMs = 10000;
constexpr UINT kLockedPlacement = SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOOWNERZORDER;
constexpr int kIconId = 300;

// Set by the first position change (the window's own appearance); every
// later one is neutralised so the window stays where it was created.
int WindowPlaced = 0;

HFONT CreateTimesFont(LONG height, LONG weight) {
  LOGFONTA font = {};
  font.lfHeight = height;
  font.lfWeight = weight;
  font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  lstrcpyA(font.lfFaceName, "Times New Roman");
  return CreateFontIndirectA(&font);
}

void PaintGradient(HDC dc, const RECT& client) {
  int band = (client.bottom - client.top) / 220;
  if (band < 1) band = 1;
  int blue = 255;
  for (int y = 0; y < client.bottom; y += band) {
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, blue));
    RECT strip = {client.left, y, client.right, y + band};
    FillRect(dc, &strip, brush);
    DeleteObject(brush);
    if (blue > 0) --blue;
  }
}

void OnPaint(HWND window) {
  PAINTSTRUCT paint;
  BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  HDC dc = GetDC(window);
  PaintGradient(dc, client);

  HFONT titleFont = CreateTimesFont(-36, FW_BOLD);
  HGDIOBJ previousFont = SelectObject(dc, titleFont);
  SetBkMode(dc, TRANSPARENT);
  COLORREF previousColour = SetTextColor(dc, RGB(128, 0, 0));
  RECT title = {client.left, 330, client.right, 380};
  DrawTextA(dc, Setup.AppName, -1, &title, DT_CENTER);
  SetTextColor(dc, RGB(255, 255, 255));
  RECT shadowed = {client.left, 326, client.right - 4, 380};
  DrawTextA(dc, Setup.AppName, -1, &shadowed, DT_CENTER);

  HFONT publisherFont = CreateTimesFont(-18, 0);
  SelectObject(dc, publisherFont);
  DeleteObject(titleFont);
  RECT publisher = {client.left + 20, client.bottom - 30, client.right, client.bottom - 10};
  DrawTextA(dc, Setup.AppBy, -1, &publisher, 0);

  SelectObject(dc, previousFont);
  DeleteObject(publisherFont);
  SetTextColor(dc, previousColour);
  ReleaseDC(window, dc);
  EndPaint(window, &paint);
}

void OnStartCommand(HWND window) {
  if (RunInstall(reinterpret_cast<sys::Window>(window)) != 0) {
    SetWindowTextA(window, "Setup is cleaning up...");
    SetTimer(window, kCleanupTimer, kCleanupDelayMs, nullptr);
  } else {
    PostMessageA(window, WM_DESTROY, 0, 0);
  }
}

void OnCleanupTimer(HWND window) {
  KillTimer(window, kCleanupTimer);
  MoveScriptToInstallDir(Setup.InstallDir);
  PostMessageA(window, WM_DESTROY, 0, 0);
  StartApplicationIfAsked();
}

void OnWindowPosChanging(WINDOWPOS* position) {
  if (WindowPlaced == 0) {
    WindowPlaced = 1;
    return;
  }
  position->flags = kLockedPlacement;
}

LRESULT CALLBACK BackgroundWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      PostMessageA(window, WM_COMMAND, kStartCommand, 0);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) != kStartCommand) break;
      OnStartCommand(window);
      return 0;
    case WM_TIMER:
      OnCleanupTimer(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_WINDOWPOSCHANGING:
      OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam));
      return 0;
    case WM_PAINT:
      OnPaint(window);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int CreateBackgroundWindow(sys::Instance instance, int) {
  HINSTANCE module = reinterpret_cast<HINSTANCE>(instance);
  WNDCLASSA windowClass = {};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = BackgroundWndProc;
  windowClass.hInstance = module;
  windowClass.hIcon = LoadIconA(module, MAKEINTRESOURCEA(kIconId));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
  windowClass.lpszClassName = kClassName;
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, kClassName, kClassName, WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, module, nullptr);
  return window != nullptr ? 1 : 0;
}

int RunMessageLoop() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

void ShowSetupWindow(sys::Window window, const char* title) {
  HWND handle = reinterpret_cast<HWND>(window);
  SetWindowTextA(handle, title);
  ShowWindow(handle, SW_SHOWMAXIMIZED);
  UpdateWindow(handle);
}
