// A process-wide function that the program calls and tests may replace (see
// toolkit/testing.h): the real one until it is replaced, and again once the
// replacement is taken back.
//
//   Replaceable<OpenerHook> opener{open_with_desktop};
//   bool opened = opener()(address);
#pragma once

#include <utility>

namespace toolkit {

template <class Function> class Replaceable {
public:
    explicit Replaceable(Function real) : m_real(real), m_current(std::move(real)) { }

    const Function& operator()() const { return m_current; }
    bool is_replaced() const { return m_replaced; }

    // Returns the replacement it takes back, or an empty function where the
    // real one was in place, so that putting back what it returned restores
    // exactly the state before. An empty one restores the real one.
    Function replace(Function next)
    {
        Function previous = m_replaced ? std::move(m_current) : Function{};
        m_replaced = static_cast<bool>(next);
        m_current = m_replaced ? std::move(next) : m_real;
        return previous;
    }

private:
    Function m_real;
    Function m_current;
    bool m_replaced = false;
};

}  // namespace toolkit
