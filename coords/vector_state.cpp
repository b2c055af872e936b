#include "coords/vector_state.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))

#include <immintrin.h>

namespace
{

__attribute__((target("avx"))) void zero_upper()
{
    _mm256_zeroupper();
}

} // namespace

void clear_vector_upper_state()
{
    static const bool has_avx = __builtin_cpu_supports("avx");
    if (has_avx)
        zero_upper();
}

#else

void clear_vector_upper_state() {}

#endif
