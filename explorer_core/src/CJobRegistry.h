#pragma once
// Worker threads of the explorers. They are never killed and nothing on the user-interface
// thread waits for one while the program runs; at exit WaitAll lets the abandoned ones finish
// before the library is shut down, still serving their sent messages meanwhile.
#include <functional>

class CJobRegistry {
  public:
    // Runs work on a new thread of its own.
    static void Start(std::function<void()> work);
    static int Running();
    // Waits for every worker, processing the user-interface thread's events meanwhile.
    static void WaitAll();
};
