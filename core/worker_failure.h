#pragma once
// What a worker thread makes of an exception: whatever goes wrong ends the
// work, never the program, and the window learns of it as a failure text.
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>

namespace velmar {

// Runs work and returns its failure: empty when it returned, outOfMemory when
// memory ran out (an allocation, or a string that could not grow), else the
// exception's own text, "Непредвиденная ошибка" when it has none.
template <typename Work>
std::string FailureOf(Work&& work, std::string_view outOfMemory) noexcept {
  try {
    work();
    return {};
  } catch (const std::bad_alloc&) {
    return std::string(outOfMemory);
  } catch (const std::length_error&) {
    return std::string(outOfMemory);
  } catch (const std::exception& e) {
    return *e.what() ? e.what() : "Непредвиденная ошибка";
  } catch (...) {
    return "Непредвиденная ошибка";
  }
}

// Tells whoever waits that the work is over; an exception there has nobody
// left to tell.
inline void NotifyQuietly(const std::function<void()>& done) noexcept {
  try {
    if (done) done();
  } catch (...) {
  }
}

}  // namespace velmar
