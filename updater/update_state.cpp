#include "updater/update_state.h"

std::atomic<ui::Window> updateWindow{nullptr};
std::atomic<ui::ThreadId> updateRunThread{0};
std::atomic<threads::Event*> UpdateDoneEvent{nullptr};
