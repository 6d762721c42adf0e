// SPDX-License-Identifier: MIT
#pragma once

#include <concepts>
#include <new>
#include <type_traits>
#include <utility>

#include "runtime/failure.h"
#include "runtime/services.h"

namespace rms {

// Ends the program: tells the window engine, then unwinds so that no further
// statement of any procedure runs.
[[noreturn]] void endProgram(Services& services);

// Statement-level recovery. Each statement of a procedure runs through run(); a
// statement that fails is abandoned, the procedure's handler sees the failure, and the
// caller goes on with the next statement. A statement fails by throwing a Failure or by
// returning a failed Outcome (which costs no unwinding); the handler cannot tell the two
// apart. A handler may end the program by calling endProgram(), whose ProgramEnded passes
// through here untouched. The handler runs inside the catch, unguarded: whatever it throws
// leaves run() and the procedure.
template <typename Handler>
class Recovery {
 public:
  explicit Recovery(Handler handler) : handler_(std::move(handler)) {}

  // Returns true when the statement completed.
  template <std::invocable Statement>
  bool run(Statement&& statement) {
    try {
      using Result = std::invoke_result_t<Statement>;
      if constexpr (std::is_void_v<Result>) {
        std::forward<Statement>(statement)();
      } else {
        const Result outcome = std::forward<Statement>(statement)();
        if (!outcome) {
          handler_(Failure(outcome.failure()));
          return false;
        }
      }
      return true;
    } catch (const Failure& failure) {
      handler_(failure);
    } catch (const std::bad_alloc&) {
      handler_(Failure(ErrorNumber::OutOfMemory));
    }
    return false;
  }

 private:
  Handler handler_;
};

}  // namespace rms
