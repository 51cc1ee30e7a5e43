#pragma once
// The one scan over UTF-16 text that the readers and writers of large files share: the
// first unit that is not written (or read) as it stands. Eight units are tested at a time
// where the processor allows; ScanScalar is the reference every path gives the same answer
// as.
#include <QtGlobal>
#include <initializer_list>
#include <string_view>

// A class of plain units: those in one of up to two ranges, or one of up to two extra
// units, less up to five stop units.
class Utf16Class
{
public:
    struct Range
    {
        char16_t first, last; // both included
    };
    static constexpr int MaxRanges = 2;
    static constexpr int MaxExtras = 2;
    static constexpr int MaxStops = 5;

    // Made while compiling: more slots than there are do not compile.
    consteval Utf16Class(std::initializer_list<Range> ranges, std::u16string_view extras,
                         std::u16string_view stops)
    {
        for (const Range& range : ranges)
            m_ranges[m_rangeCount++] = range;
        for (char16_t unit : extras)
            m_extras[m_extraCount++] = unit;
        for (char16_t unit : stops)
            m_stops[m_stopCount++] = unit;
        // Unused slots repeat a slot that changes nothing. A stop beyond the class is one
        // more unit that is not plain anyway; a range or extra beyond it is the first one,
        // else that stop (stopped in any case).
        const char16_t stopped = m_stopCount > 0 ? m_stops[0] : FirstStopped();
        for (int i = m_stopCount; i < MaxStops; ++i)
            m_stops[i] = stopped;
        for (int i = m_rangeCount; i < MaxRanges; ++i)
            m_ranges[i] = m_rangeCount > 0 ? m_ranges[0] : Range{stopped, stopped};
        for (int i = m_extraCount; i < MaxExtras; ++i)
            m_extras[i] = m_extraCount > 0 ? m_extras[0] : m_ranges[0].first;
    }

    constexpr bool IsPlain(char16_t unit) const
    {
        for (int i = 0; i < m_stopCount; ++i)
            if (unit == m_stops[i])
                return false;
        return InRangesOrExtras(unit);
    }

    // The slots, padded (for the vector path), and how many of each are the class's own.
    const Range* Ranges() const { return m_ranges; }
    const char16_t* Extras() const { return m_extras; }
    const char16_t* Stops() const { return m_stops; }
    int RangeCount() const { return m_rangeCount; }
    int ExtraCount() const { return m_extraCount; }
    int StopCount() const { return m_stopCount; }

private:
    // The first unit outside the ranges and extras (a class that holds every unit has none,
    // and is no use to a scan).
    constexpr char16_t FirstStopped() const
    {
        char16_t unit = 0;
        while (unit != 0xFFFF && InRangesOrExtras(unit))
            ++unit;
        return unit;
    }
    constexpr bool InRangesOrExtras(char16_t unit) const
    {
        for (int i = 0; i < m_extraCount; ++i)
            if (unit == m_extras[i])
                return true;
        for (int i = 0; i < m_rangeCount; ++i)
            if (unit >= m_ranges[i].first && unit <= m_ranges[i].last)
                return true;
        return false;
    }

    Range m_ranges[MaxRanges]{};
    char16_t m_extras[MaxExtras]{};
    char16_t m_stops[MaxStops]{};
    int m_rangeCount = 0;
    int m_extraCount = 0;
    int m_stopCount = 0;
};

namespace Utf16Scan
{
// The first unit from `from` on that is not plain in the class; end when there is none.
const char16_t* SkipPlain(const char16_t* from, const char16_t* end, const Utf16Class& plain);
// The same one unit at a time: the reference.
const char16_t* ScanScalar(const char16_t* from, const char16_t* end, const Utf16Class& plain);
// Copies count units to `to`; true when every one of them is plain.
bool CopyPlain(const char16_t* from, qsizetype count, char16_t* to, const Utf16Class& plain);
} // namespace Utf16Scan
