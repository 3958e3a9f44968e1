#pragma once

#include <atomic>

namespace platform {

// Every platform family is a small interface F with `static F& System()`, the real implementation
// of this build (win32/ or posix/). The monitor reaches a family only through Use<F>(); tests and
// the host put a substitute in place for a scope with Substitute<F>.
template <class F>
class Seam {
public:
    static F& Get()
    {
        F* substitute = s_substitute.load(std::memory_order_acquire);
        return substitute != nullptr ? *substitute : F::System();
    }
    static F* Exchange(F* substitute) { return s_substitute.exchange(substitute); }

private:
    static inline std::atomic<F*> s_substitute{nullptr};
};

template <class F>
F& Use()
{
    return Seam<F>::Get();
}

// Installs `substitute` for the life of the scope. Install before starting threads that use the
// family and remove after they have ended.
template <class F>
class Substitute {
public:
    explicit Substitute(F& substitute) : m_pPrevious(Seam<F>::Exchange(&substitute)) {}
    ~Substitute() { Seam<F>::Exchange(m_pPrevious); }
    Substitute(const Substitute&) = delete;
    Substitute& operator=(const Substitute&) = delete;

private:
    F* m_pPrevious;
};

}  // namespace platform
