// The install's way of keeping the program answering while it works: the
// long steps call KeepAnswering between their parts (between manifest rows;
// between the pieces of one file where a file is written in pieces), and
// the wizard points installPump at its message pump. install/ thus never
// calls up into wizard/. No Windows header here.
#pragma once

using InstallPump = void (*)();

// Set by the wizard when its dialog is made; null (nothing to answer) for
// an install run without a window.
extern InstallPump installPump;

// Cheap enough to call every few milliseconds: one look at the queue.
inline void KeepAnswering() {
  if (installPump != nullptr) installPump();
}
