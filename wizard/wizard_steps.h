// The pieces that the wizard's dialog procedure is made of, declared apart
// so that the files of wizard/ share them and tests can reach the ones
// that have no control of their own (the install floor).
#pragma once

#include <windows.h>

// Pages of the wizard and the states around them (pageIndex).
constexpr int kPathPage = 0;
constexpr int kDisplayTestPage = 1;
constexpr int kLicencePage = 2;
constexpr int kLanguagePage = 3;
constexpr int kInstallState = 99;
constexpr int kQuitState = -1;

// Puts both licence texts into their controls (Chinese lines into the list
// box, English text into the edit). 1 when both are in; 0 after a failure,
// having told the user only when memory ran out.
int LoadLicenceTexts(HWND dialog);

// The install run behind Install on the language page, from reading the
// path to the end of the program.
void RunInstallFromWizard(HWND dialog);

// Calendar time in 100-nanosecond steps.
ULONGLONG CalendarNow();
// The clock of the five-second floor: CalendarNow, or a clock of a test's.
using CalendarClock = ULONGLONG (*)();
extern CalendarClock installClock;
// Returns once five seconds of installClock have passed since start,
// answering the window's messages meanwhile (TakeWaitingMessages).
void WaitForInstallFloor(ULONGLONG start);

// The install's message pump (installPump): dispatches what waits in the
// thread's queue, paint and sent messages included, and drops mouse and
// keyboard input, so nothing clicked or typed acts after the install.
void TakeWaitingMessages();
// True from Install to the closing message: the wizard shows the wait
// cursor wherever the pointer goes over it.
bool InstallShowsWaitCursor();
// True while the install sequence runs: a session end is answered "not
// now" (WM_QUERYENDSESSION), since one that ended the program half-way
// would leave some files replaced and others not, and no word of it.
bool InstallHoldsSessionEnd();
