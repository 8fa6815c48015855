// RefString's lock (base/ref_string_lock.h) on Windows: a critical section,
// made by the first string operation, whichever thread runs it.
#include "base/ref_string_lock.h"

#include <windows.h>

namespace {

CRITICAL_SECTION lock;

// One that arrives while another thread makes the lock waits until it is
// ready. Windows XP has no one-time initialisation call, so the state moves
// by interlocked steps.
enum LockState : LONG { kLockAbsent, kLockBeingMade, kLockReady };
volatile LONG lockState = kLockAbsent;

void MakeLockOnce() {
  if (InterlockedCompareExchange(&lockState, kLockReady, kLockReady) == kLockReady) return;
  if (InterlockedCompareExchange(&lockState, kLockBeingMade, kLockAbsent) == kLockAbsent) {
    InitializeCriticalSection(&lock);
    InterlockedExchange(&lockState, kLockReady);
    return;
  }
  while (InterlockedCompareExchange(&lockState, kLockReady, kLockReady) != kLockReady) {
    Sleep(0);  // another thread is making it: let that thread run
  }
}

}  // namespace

void EnterRefStringLock() {
  MakeLockOnce();
  EnterCriticalSection(&lock);
}

void LeaveRefStringLock() { LeaveCriticalSection(&lock); }
