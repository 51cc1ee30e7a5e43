#include "platform/Utf16Scan.h"

#include <algorithm>
#include <bit>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

const char16_t* Utf16Scan::ScanScalar(const char16_t* from, const char16_t* end,
                                      const Utf16Class& plain)
{
    while (from != end && plain.IsPlain(*from))
        ++from;
    return from;
}

#if defined(__SSE2__)
namespace
{
// The class as eight-unit vectors. SSE2 compares 16-bit lanes as signed numbers: with the top
// bit flipped, an unsigned comparison becomes a signed one. A unit is in a range when
// unit - first, unsigned, is at most last - first. The class's own slots are tested, and a
// padding range or stop where it has none (the padding range holds only a unit that the
// padding stop stops).
class Vectors
{
public:
    explicit Vectors(const Utf16Class& plain)
        : m_ranges(std::max(plain.RangeCount(), 1)), m_extras(plain.ExtraCount()),
          m_stops(std::max(plain.StopCount(), 1))
    {
        for (int i = 0; i < m_ranges; ++i)
        {
            const Utf16Class::Range range = plain.Ranges()[i];
            m_first[i] = All(range.first);
            m_span[i] = All(char16_t(range.last - range.first) ^ 0x8000u);
        }
        for (int i = 0; i < m_extras; ++i)
            m_extra[i] = All(plain.Extras()[i]);
        for (int i = 0; i < m_stops; ++i)
            m_stop[i] = All(plain.Stops()[i]);
    }

    // The units of v that are not plain, two mask bits per unit.
    unsigned Stopped(__m128i v) const
    {
        const __m128i flip = All(0x8000);
        __m128i stops =
            _mm_cmpgt_epi16(_mm_xor_si128(_mm_sub_epi16(v, m_first[0]), flip), m_span[0]);
        if (m_ranges > 1)
            stops = _mm_and_si128(
                stops,
                _mm_cmpgt_epi16(_mm_xor_si128(_mm_sub_epi16(v, m_first[1]), flip), m_span[1]));
        for (int i = 0; i < m_extras; ++i)
            stops = _mm_andnot_si128(_mm_cmpeq_epi16(v, m_extra[i]), stops);
        for (int i = 0; i < m_stops; ++i)
            stops = _mm_or_si128(stops, _mm_cmpeq_epi16(v, m_stop[i]));
        return static_cast<unsigned>(_mm_movemask_epi8(stops));
    }

    static __m128i Load(const char16_t* p)
    {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    }

private:
    static __m128i All(unsigned unit) { return _mm_set1_epi16(static_cast<short>(unit)); }

    int m_ranges, m_extras, m_stops;
    __m128i m_first[Utf16Class::MaxRanges], m_span[Utf16Class::MaxRanges];
    __m128i m_extra[Utf16Class::MaxExtras], m_stop[Utf16Class::MaxStops];
};
} // namespace
#endif

const char16_t* Utf16Scan::SkipPlain(const char16_t* from, const char16_t* end,
                                     const Utf16Class& plain)
{
#if defined(__SSE2__)
    if (end - from >= 8)
    {
        const Vectors vectors(plain);
        const char16_t* const last = end - 8;
        for (; from <= last; from += 8)
            if (const unsigned mask = vectors.Stopped(Vectors::Load(from)))
                return from + std::countr_zero(mask) / 2;
        if (from == end)
            return end;
        // The rest as the last eight units, those already passed masked out.
        const unsigned mask = vectors.Stopped(Vectors::Load(last)) & (~0u << (2 * (from - last)));
        return mask != 0 ? last + std::countr_zero(mask) / 2 : end;
    }
#endif
    return ScanScalar(from, end, plain);
}

bool Utf16Scan::CopyPlain(const char16_t* from, qsizetype count, char16_t* to,
                          const Utf16Class& plain)
{
#if defined(__SSE2__)
    if (count >= 8)
    {
        // Copied and tested in one pass; the rest as the last eight units.
        const Vectors vectors(plain);
        unsigned stopped = 0;
        qsizetype i = 0;
        for (; i + 8 <= count; i += 8)
        {
            const __m128i v = Vectors::Load(from + i);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), v);
            stopped |= vectors.Stopped(v);
        }
        if (i < count)
        {
            const __m128i v = Vectors::Load(from + count - 8);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to + count - 8), v);
            stopped |= vectors.Stopped(v);
        }
        return stopped == 0;
    }
#endif
    if (count > 0)
        std::memcpy(to, from, std::size_t(count) * sizeof(char16_t));
    return ScanScalar(from, from + count, plain) == from + count;
}
