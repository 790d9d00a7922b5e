// A writer that writes on a thread of its own, fed through a short queue.
#pragma once

#include <memory>

#include "export/Export.h"

// add() hands the game over and returns at once while the queue has room; commit()
// waits for the last game and commits. An error or stop on the writing thread is
// thrown by the next add() or by commit(). Destroyed before commit, it stops the
// thread first and then destroys inner, which removes what it wrote.
std::unique_ptr<GameWriter> onOwnThread(std::unique_ptr<GameWriter> inner);
