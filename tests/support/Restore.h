#pragma once

#include <utility>

// Puts a shared variable (the data module, the main window, a setting) back
// as it was when the test ends, even when an assertion ends it early, so that
// one failing test cannot leave its state to the next.
template <typename T> class Restore
{
public:
    explicit Restore(T &variable)
        : m_variable(variable)
        , m_saved(variable)
    {
    }
    Restore(T &variable, T value)
        : Restore(variable)
    {
        m_variable = std::move(value);
    }
    ~Restore() { m_variable = std::move(m_saved); }
    Restore(const Restore &) = delete;
    Restore &operator=(const Restore &) = delete;

private:
    T &m_variable;
    T m_saved;
};
