// Runs an action when the scope ends, however it ends: by return or by an
// error on its way to a caller. The action itself must not throw.
//
//   disable_buttons();
//   toolkit::ScopeExit enable_again([&] { enable_buttons(); });
//   scan();  // May throw; the buttons come back either way.
#pragma once

#include <utility>

namespace toolkit {

template <class Action> class ScopeExit {
public:
    explicit ScopeExit(Action action) : m_action(std::move(action)) { }
    ~ScopeExit() { m_action(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    Action m_action;
};

}  // namespace toolkit
