#pragma once
// The merge order of the record lists: ascending time, later arrivals after earlier ones of
// the same time, and an item equal to an earlier one of the same time dropped. Built from
// the arrival list with one sort instead of an ordered insert per record.
#include "tovkfeedbackviewer/DatFile.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

// timeOf(item) gives its PackedTime; less(a, b) is a strict order whose equivalence is the
// duplicate rule.
template <typename Item, typename TimeOf, typename Less>
void OrderRecords(std::vector<Item>& items, TimeOf timeOf, Less less)
{
    std::vector<std::uint64_t> order(items.size());
    for (std::size_t i = 0; i < items.size(); ++i)
        order[i] = (static_cast<std::uint64_t>(TimeKey(timeOf(items[i]))) << 32) | i;
    std::sort(order.begin(), order.end());

    std::vector<Item> sorted;
    sorted.reserve(items.size());
    std::vector<std::size_t> run;
    std::vector<bool> drop;
    std::size_t begin = 0;
    while (begin < order.size())
    {
        std::size_t end = begin + 1;
        while (end < order.size() && (order[end] >> 32) == (order[begin] >> 32))
            ++end;
        if (end - begin == 1)
        {
            sorted.push_back(std::move(items[order[begin] & 0xFFFFFFFFu]));
            begin = end;
            continue;
        }
        // Equal times: sort the run by content (stable, so the first arrival of equal
        // items comes first), mark the later copies, emit the rest in arrival order.
        run.clear();
        for (std::size_t i = begin; i < end; ++i)
            run.push_back(order[i] & 0xFFFFFFFFu);
        std::vector<std::size_t> byContent(run.size());
        std::iota(byContent.begin(), byContent.end(), std::size_t{0});
        std::stable_sort(byContent.begin(), byContent.end(),
                         [&](std::size_t a, std::size_t b)
                         { return less(items[run[a]], items[run[b]]); });
        drop.assign(run.size(), false);
        for (std::size_t i = 1; i < byContent.size(); ++i)
        {
            const Item& previous = items[run[byContent[i - 1]]];
            const Item& current = items[run[byContent[i]]];
            if (!less(previous, current) && !less(current, previous))
                drop[byContent[i]] = true;
        }
        for (std::size_t i = 0; i < run.size(); ++i)
        {
            if (!drop[i])
                sorted.push_back(std::move(items[run[i]]));
        }
        begin = end;
    }
    items.swap(sorted);
}
