// The results of automation members. Every member runs its editor operation inside an
// error trap: an exception raised by the editor becomes a failed result carrying its
// message, and the editor stays in the state the operation left.
#pragma once

#include <QString>
#include <exception>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace automation {

// A member's outcome: success, the "false" success of the enumerators (S_FALSE), or a
// failure with the editor's message.
enum class TStatus { Ok, False, Failed };

struct TNone {};

template <class T>
struct TResult {
    T Value{};
    TStatus Status = TStatus::Ok;
    QString Error{};

    bool Succeeded() const { return Status != TStatus::Failed; }
};

// A failure of the automation layer itself (a member whose part of the editor is missing).
class EAutomationError : public std::runtime_error {
  public:
    explicit EAutomationError(const QString& message)
        : std::runtime_error(message.toStdString()) {}
};

// The failure of members whose editor part has not been built into this program.
inline constexpr const char* NotAvailable = "not available";

// Runs `call` in the error trap.
template <class F>
auto Trap(F&& call) {
    using R = std::invoke_result_t<F>;
    using V = std::conditional_t<std::is_void_v<R>, TNone, R>;
    TResult<V> result;
    try {
        if constexpr (std::is_void_v<R>)
            call();
        else
            result.Value = call();
    } catch (const std::exception& error) {
        result.Status = TStatus::Failed;
        result.Error = QString::fromUtf8(error.what());
        if (result.Error.isEmpty()) result.Error = "Unknown error";
    } catch (...) {
        result.Status = TStatus::Failed;
        result.Error = "Unknown error";
    }
    return result;
}

} // namespace automation
