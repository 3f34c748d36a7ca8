#pragma once
// Runs a fuzzed call on a thread whose stack is no larger than the one
// Quillet.exe runs on (QUILLET_EXE_STACK bytes, given by the build). The
// fuzzer's own thread has the host's 8 MiB or more, so work whose stack grows
// with its input would pass there and overflow in the program.

#include <pthread.h>

#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <mutex>

namespace quillet::fuzz {

// One thread, made once, runs the calls one after the other while the
// fuzzer's thread waits: a thread per input would cost more than most
// inputs' checks.
class ExeStackThread {
 public:
  static ExeStackThread& Get() {
    static ExeStackThread& thread = *new ExeStackThread;  // never ends
    return thread;
  }

  void Run(const std::function<void()>& call) {
    std::unique_lock lock(mutex_);
    call_ = &call;
    changed_.notify_all();
    changed_.wait(lock, [&] { return call_ == nullptr; });
  }

 private:
  ExeStackThread() {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, QUILLET_EXE_STACK);
    pthread_t thread;
    if (pthread_create(&thread, &attr, &ExeStackThread::Loop, this) != 0) std::abort();
    pthread_attr_destroy(&attr);
  }

  static void* Loop(void* self) {
    auto& me = *static_cast<ExeStackThread*>(self);
    std::unique_lock lock(me.mutex_);
    for (;;) {
      me.changed_.wait(lock, [&] { return me.call_ != nullptr; });
      (*me.call_)();
      me.call_ = nullptr;
      me.changed_.notify_all();
    }
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  const std::function<void()>* call_ = nullptr;
};

inline void OnExeStack(const std::function<void()>& call) { ExeStackThread::Get().Run(call); }

}  // namespace quillet::fuzz
