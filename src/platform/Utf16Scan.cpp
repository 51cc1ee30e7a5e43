#include "platform/Utf16Scan.h"

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

const char16_t* Utf16Scan::SkipPlain(const char16_t* from, const char16_t* end,
                                     const Utf16Class& plain)
{
#if defined(__SSE2__)
    if (end - from >= 8)
    {
        // SSE2 compares 16-bit lanes as signed numbers: with the top bit flipped, an unsigned
        // comparison becomes a signed one. A unit is in a range when unit - first, unsigned,
        // is at most last - first.
        const auto all = [](unsigned unit) { return _mm_set1_epi16(static_cast<short>(unit)); };
        const __m128i flip = all(0x8000);
        __m128i first[Utf16Class::MaxRanges], span[Utf16Class::MaxRanges];
        __m128i extra[Utf16Class::MaxExtras], stop[Utf16Class::MaxStops];
        for (int i = 0; i < Utf16Class::MaxRanges; ++i)
        {
            const Utf16Class::Range range = plain.Ranges()[i];
            first[i] = all(range.first);
            span[i] = all(char16_t(range.last - range.first) ^ 0x8000u);
        }
        for (int i = 0; i < Utf16Class::MaxExtras; ++i)
            extra[i] = all(plain.Extras()[i]);
        for (int i = 0; i < Utf16Class::MaxStops; ++i)
            stop[i] = all(plain.Stops()[i]);
        // The units of the block at p that stop the scan, two mask bits per unit.
        const auto stopsAt = [&](const char16_t* p)
        {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            __m128i stops = _mm_set1_epi16(-1);
            for (int i = 0; i < Utf16Class::MaxRanges; ++i)
                stops = _mm_and_si128(
                    stops,
                    _mm_cmpgt_epi16(_mm_xor_si128(_mm_sub_epi16(v, first[i]), flip), span[i]));
            for (int i = 0; i < Utf16Class::MaxExtras; ++i)
                stops = _mm_andnot_si128(_mm_cmpeq_epi16(v, extra[i]), stops);
            for (int i = 0; i < Utf16Class::MaxStops; ++i)
                stops = _mm_or_si128(stops, _mm_cmpeq_epi16(v, stop[i]));
            return static_cast<unsigned>(_mm_movemask_epi8(stops));
        };
        const char16_t* const last = end - 8;
        for (; from <= last; from += 8)
            if (const unsigned mask = stopsAt(from))
                return from + std::countr_zero(mask) / 2;
        if (from == end)
            return end;
        // The rest as the last eight units, those already passed masked out.
        const unsigned mask = stopsAt(last) & (~0u << (2 * (from - last)));
        return mask != 0 ? last + std::countr_zero(mask) / 2 : end;
    }
#endif
    return ScanScalar(from, end, plain);
}

bool Utf16Scan::CopyPlain(const char16_t* from, qsizetype count, char16_t* to,
                          const Utf16Class& plain)
{
    if (count > 0)
        std::memcpy(to, from, std::size_t(count) * sizeof(char16_t));
    return SkipPlain(from, from + count, plain) == from + count;
}
