#pragma once
// A user-interface thread with a stack deep enough for deep trees.
//
// Qt's tree view lays the expanded levels of a tree out recursively, one call
// (about 320 bytes of stack with Qt 6.4 on x86-64) for each level, and a
// tree item deletes its children recursively too. On the default 8 MB stack
// of a program's main thread a chain of about 26,000 expanded levels is the
// end: the next layout overflows the stack. A program whose trees may be
// deeper runs its user interface on a thread with a larger stack, as
// `tavo-run` does: the thread that creates the QApplication first is Qt's
// main thread, so nothing may touch Qt before `body` runs.
#include <cstddef>
#include <functional>

#include "tavo/qt/qt_export.h"

namespace tavo {

// 512 MB: room for a chain of more than a million expanded levels. Only the
// pages a deep tree touches are ever used.
constexpr std::size_t kDeepTreeStack = std::size_t(512) << 20;

// Runs `body` on a new thread with a stack of `bytes`, waits for it and
// returns what it returns; an exception it throws is thrown here. When no
// such thread can be made, `body` runs on the calling thread.
TAVO_QT_EXPORT int runOnDeepStack(const std::function<int()>& body, std::size_t bytes = kDeepTreeStack);

}  // namespace tavo
