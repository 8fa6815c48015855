// RefString's lock (ref_string_lock.h) in the native builds, where its
// tests run under the sanitizers.
#include "base/ref_string_lock.h"

#include <mutex>

namespace {

std::recursive_mutex& Lock() {
  static std::recursive_mutex lock;
  return lock;
}

}  // namespace

void EnterRefStringLock() { Lock().lock(); }

void LeaveRefStringLock() { Lock().unlock(); }
