// The one process-wide lock that guards every allocation, release and
// change of a RefString block. base/ names it and the platform gives it, so
// that the string needs no Windows header: the Windows program's lock is a
// critical section (shell/ref_string_lock.cpp; its compiler has no standard
// mutex), the native builds' a standard recursive mutex
// (ref_string_lock_std.cpp). The thread that holds it may enter it again.
#pragma once

void EnterRefStringLock();
void LeaveRefStringLock();
